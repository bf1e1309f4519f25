#pragma once
// Where a path really leads: the platform's final path of the file or folder
// it opens, links followed ("\\?\C:\dir\file" form), and the one test of
// whether an entry found in a folder is a link. For the Windows-only sources.

#include <cstdint>
#include <string>

// Reads the final path of path (wide characters, relative to the current
// directory or full) into out, without trailing separators. False, out
// empty, when the path cannot be opened.
bool ReadFinalPath(const wchar_t* path, std::wstring* out);

// Room for a final path in the ANSI code page: MAX_PATH characters and a
// "\\?\UNC\" prefix.
constexpr uint32_t FinalPathBytes = 280;

// Reads the final path of path (ANSI) into out (FinalPathBytes bytes), in the
// form the ANSI calls reach it (AnsiPathOf). False, out empty, when the path
// cannot be opened or its final path has no ANSI form that fits.
bool ReadFinalPath(const char* path, char* out);

// True when the entry at entryPath, found as name in the folder whose final
// path is folderFinal, leads somewhere else: it is reached through a link.
// Windows marks every link as a reparse point, but Wine shows a link to a
// file as a plain file, whose final path is its target's. An entry that
// cannot be opened leads nowhere and counts as no link.
bool LeadsElsewhere(const std::wstring& folderFinal, const wchar_t* entryPath, const wchar_t* name);
