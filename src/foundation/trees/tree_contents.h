#pragma once
// What a folder tree holds, seen through the wide-character tree walk: every
// entry whatever its name and the length of its path; links are counted,
// never followed.

#include <cstdint>

#include "foundation/core/paths.h"

// True when folder exists and its tree holds nothing but folders: no file and
// no link of any kind, whatever their names and the length of their paths.
// What the walk cannot see counts as content: a folder that cannot be listed
// whole makes the answer false.
bool FolderIsEmpty(const FixedPath& folder);

// The files of folder's tree and their bytes: every entry that is not a
// folder counts once, links included (a link's bytes are not counted, and
// it is never followed). False, with what was counted, when the tree could
// not be listed whole or folder does not exist.
bool MeasureTree(const FixedPath& folder, uint64_t* fileCount, uint64_t* byteCount);

// Reports to the operations log every file of folder's tree (a removal left
// it there), and why it stays: what the system answers a request to delete it;
// and every folder that cannot be listed, which stays with what it holds, and
// why: what the system answered the listing.
void LogFilesKept(const char* folder);
