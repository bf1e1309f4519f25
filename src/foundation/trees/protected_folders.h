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
// Every removal of a whole folder checks first (RemoveTree, the uninstall)
// and refuses a protected one without a word: the removal fails, nothing is
// deleted, and no question is asked.

#include <cstdint>

#include "foundation/core/paths.h"

// True when folder, made absolute and normalised (trailing separators, "."
// and ".." resolved), is such a folder, or leads to one through a link; also
// when the path cannot be resolved at all.
bool IsProtectedFolder(const FixedPath& folder);

// The text rules behind the protection of volume roots and the Windows
// folder. Paths are full, normalised Windows paths; "/" counts as "\".

// True when path names the root of a volume or of the network: "C:", "C:\",
// "\\server\share", "\\?\C:\", "\\.\C:", "\\?\UNC\server\share",
// "\\?\Volume{...}\", and the bare forms "\", "\\server", "" (nothing left to
// remove but a whole volume).
bool IsVolumeRootText(const char* path);

// True when folder is other or one of the folders that contain it, compared
// without regard to case and to trailing separators.
bool IsSameOrAncestorFolder(const char* folder, const char* other);

// path without a leading "\\?\" of a local path ("\\?\C:\dir" gives
// "C:\dir"); other paths as they are.
const char* WithoutLocalExtendedPrefix(const char* path);

// True when path is a user's profile folder below profiles (the folder that
// holds every user's profile, "C:\Users"), or one of the folders the system
// keeps in every profile: its documents, application data (roaming, local
// and low-integrity local), desktop, and their older names ("My Documents",
// "Application Data", "Local Settings"). Compared without regard to case and
// to trailing separators.
bool IsUserProfileFolderText(const char* path, const char* profiles);
