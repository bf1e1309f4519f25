#pragma once
// The text rules behind the protection of volume roots and the Windows
// folder. Paths are full, normalised Windows paths; "/" counts as "\".

#include <cstdint>

// Removes every trailing "\" or "/" of path, in place.
void StripTrailingSeparators(char* path);

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
