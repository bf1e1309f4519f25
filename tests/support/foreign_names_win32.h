#pragma once
// Names the ANSI code page of the tests' prefix (1252) cannot hold, the ones
// the folder walk's tests use: Greek, Chinese and Cyrillic. Each is reached
// by the ANSI calls only through its short form; the code page's best fit
// makes a look-alike of some ("Ωmega" gives "Omega"), which names another
// file, and "?" of others.

#include <string>

struct ForeignName {
  const wchar_t* wide;
  const char* utf8;
};
inline constexpr ForeignName ForeignNames[] = {
    {L"\x03A9mega", "\xCE\xA9mega"},
    {L"\x4E2D\x6587", "\xE4\xB8\xAD\xE6\x96\x87"},
    {L"\x0416", "\xD0\x96"},
};

// Whether the ANSI code page holds text exactly.
bool CodePageHolds(const wchar_t* text);

// What the ANSI code page's best fit makes of text: the name an ANSI reading
// of it reaches. Empty when that holds a "?", which no file name can.
std::string LookAlikeOf(const wchar_t* text);

// Files and folders by their names in UTF-8, through the wide calls.
bool WriteFileUtf8(const std::string& path, const std::string& bytes);
// The whole file; empty, with *found false, when it cannot be read.
std::string ReadFileUtf8(const std::string& path, bool* found = nullptr);
bool ExistsUtf8(const std::string& path);
bool CopyFileUtf8(const std::string& from, const std::string& to);
