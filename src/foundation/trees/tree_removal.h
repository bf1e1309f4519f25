#pragma once
// Removing folder trees: the links inside a tree first (never their
// targets), then the contents and the folder through the shell's delete.

#include "foundation/core/paths.h"
#include "foundation/core/status.h"

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
// A folder that is itself a link (a junction or a symbolic link) is removed
// as the link when removeFolder is given (StatusOk), what it leads to never
// touched; otherwise, or when the link cannot be removed by itself, the
// removal is refused.
//
// A folder of the tree that cannot be listed stays with what it holds, and
// so do the folders above it: everything else is removed, entry by entry,
// and the result is StatusIoError.
//
// The operations log hears what was removed, what was refused and why, and
// each file or unlisted folder a failed removal left with the reason it stays.
Status RemoveTree(const FixedPath& folder, bool removeContents, bool removeFolder);

// Deletes the file at file through the shell's delete when it is there; the
// log hears what became of it. False when it is still there.
bool RemoveFile(const FixedPath& file);
