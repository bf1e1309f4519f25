#pragma once
// Folders that are never removed: the root of a volume (C:\, V:\,
// \\server\share\, a volume mounted in a folder) and the Windows folder with
// every folder that contains it. A damaged or hostile path must never wipe a
// drive, so every removal of a whole folder asks first.

#include "foundation/fixed_path.h"

// True when folder, made absolute and normalised (trailing separators, "."
// and ".." resolved), is such a folder, or leads to one through a link; also
// when the path cannot be resolved at all.
bool IsProtectedFolder(const FixedPath& folder);
