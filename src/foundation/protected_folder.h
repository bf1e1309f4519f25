#pragma once
// Folders that are never removed, so that a damaged or hostile path never
// wipes a drive, the system, or what other programs and users own:
// - the root of a volume (C:\, V:\, \\server\share\, a volume mounted in a
//   folder);
// - the Windows folder, every folder inside it and every folder above it;
// - the system's shared folders themselves and every folder above them: the
//   program files folders with their common files (the "(x86)" ones and the
//   native ones of a 64-bit system), the common application data, the
//   user's profile (and so the folder holding the profiles), the user's
//   documents, application data (roaming and local) and desktop, the common
//   documents, and the temporary folder. A folder inside one of them, such
//   as a program's own folder in "Program Files", is not protected;
// - every user's profile folder, with the documents, application data and
//   desktop folders kept in each profile (IsUserProfileFolderText).
// Every removal of a whole folder asks first.

#include "foundation/fixed_path.h"

// True when folder, made absolute and normalised (trailing separators, "."
// and ".." resolved), is such a folder, or leads to one through a link; also
// when the path cannot be resolved at all.
bool IsProtectedFolder(const FixedPath& folder);
