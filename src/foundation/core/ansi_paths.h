#pragma once
// Paths between the ANSI calls and the names as stored. The program keeps
// every path in the ANSI code page; a file or folder whose name that code
// page cannot hold ("C:\Player\Ωmega中") is reached through its short (8.3)
// form ("C:\Player\_MEGA~1"), and shown to people and documents by its true
// name, read back through the wide-character calls.

#include <string>

// The ANSI form of path (wide characters, as stored) through which the ANSI
// calls reach it: path itself when the code page holds it exactly, else the
// path with each part the code page cannot hold in its short form, when the
// code page holds that. False, ansi empty, when neither
// holds: the volume keeps no short name the code page can hold, or the path
// does not exist (only an existing path has a short form).
bool AnsiPathOf(const wchar_t* path, std::string* ansi);

// The path ansiPath names (ANSI code page) as UTF-8, every part reached
// through a short form given by its true name. A part the code page holds
// as it is stored keeps the text the program has, so that such a path reads
// exactly as its ANSI text converted; the whole text converted when the path
// does not exist.
std::string TruePathUtf8(const char* ansiPath);
