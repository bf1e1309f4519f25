#pragma once
// Where a path really leads: the platform's final path of the file or folder
// it opens, links followed ("\\?\C:\dir\file" form).

#include <cstdint>

// Room for a final path: MAX_PATH characters and a "\\?\UNC\" prefix.
constexpr uint32_t FinalPathBytes = 280;

// Reads the final path of path into out (FinalPathBytes bytes). False when the
// path cannot be opened or its final path does not fit.
bool ReadFinalPath(const char* path, char* out);

// True when the entry found as name in the folder whose final path is
// folderFinal leads somewhere else: it is reached through a link. Windows
// marks every link as a reparse point, but Wine shows a link to a file as a
// plain file, whose final path is its target's. An entry that cannot be
// opened leads nowhere and counts as no link. entryPath opens the entry
// (relative to the current directory or full).
bool LeadsElsewhere(const char* folderFinal, const char* entryPath, const char* name);

// True when the entry name inside folder is a link: a reparse point, or an
// entry that leads somewhere other than folder\name. A walk that must stay
// inside a tree passes over such an entry. A name that does not fit after
// the folder counts as a link.
bool IsLinkInFolder(const char* folder, const char* name);
