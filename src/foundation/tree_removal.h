#pragma once
// Removing folder trees: the links inside a tree first (never their
// targets), then the contents and the folder through the shell's delete.

#include <cstdint>

#include "foundation/paths.h"
#include "foundation/status.h"

// Removing a folder's contents and the folder itself through the shell's
// file operation (silent, no confirmation, no error boxes, not to the
// recycle bin).

// removeContents: deletes everything in folder; removeFolder: then removes
// folder itself. StatusOk on success; the shell's nonzero code when deleting
// the contents failed but the folder could be removed; StatusIoError when the
// folder survives.
//
// Refused with StatusIoError before anything is deleted: an empty folder
// text, a folder whose pattern would not fit, a protected folder (a volume
// root, the Windows folder or a shared folder, see IsProtectedFolder), and a
// tree holding a link that cannot be removed as itself. Links inside the tree
// are removed themselves, never followed, before the shell sees the tree.
// The operations log hears what was removed, what was refused and why, and
// each file a failed removal left with the reason it stays.
Status RemoveTree(const FixedPath& folder, bool removeContents, bool removeFolder);

// Links inside a folder tree: entries that lead somewhere else (junctions,
// symbolic links, mount points, and any entry whose final path is not where
// it was found). Before a tree is handed to a removal that may follow links,
// every link in it is removed itself, never its target.

// Removes every link inside folder's tree (folder itself excluded), without
// following any. True when no link is left; false, with the tree otherwise
// untouched, when a link cannot be removed as itself (a platform that only
// reaches a link's target), or the tree cannot be examined completely.
bool RemoveLinksInTree(const char* folder);

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

// Deleting through the shell's file operation (SHFileOperationA, FO_DELETE)
// with the flags 0x414: silent, no confirmation, no error boxes, and not to
// the recycle bin.

// Deletes the files or folders named in source, a list of paths each ending
// in a NUL with one more NUL after the last; patterns such as "C:\dir\*.*"
// are allowed. Returns the shell's result: 0 on success.
int ShellDelete(const char* source);
