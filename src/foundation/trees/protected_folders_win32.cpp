// The protection of volume roots, the Windows folder and the system's shared
// folders, over GetFullPathNameA, GetVolumePathNameA, the Windows folder's
// location and the shell's folder locations (SHGetFolderPathA).
#include "foundation/trees/protected_folders.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "foundation/core/final_path_win32.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/strings.h"

namespace {

// The shared folders that hold what other programs and users own. Each is
// protected itself, with the folders above it (among them the folder that
// holds the user profiles), but not the folders inside it: a program's own
// folder in "Program Files" or "AppData" may go.
constexpr int SharedFolderIds[] = {
    CSIDL_PROGRAM_FILES,     CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_COMMON_APPDATA,    CSIDL_PROFILE,          CSIDL_PERSONAL,             CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,     CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
};

// True when the folder (fullPath, and finalPath where it leads, or empty when
// it cannot be opened) is known or a folder above it, or, with inside, a
// folder within it; compared by the names and by where they lead.
bool Reaches(const char* fullPath, const char* finalPath, const char* known, bool inside) {
  if (IsSameOrAncestorFolder(fullPath, known) || (inside && IsSameOrAncestorFolder(known, fullPath))) return true;
  char knownFinal[FinalPathBytes];
  if (!finalPath[0] || !ReadFinalPath(known, knownFinal)) return false;
  return IsSameOrAncestorFolder(finalPath, knownFinal) || (inside && IsSameOrAncestorFolder(knownFinal, finalPath));
}

// True when the folder is the Windows folder (the user's or the system's), a
// folder inside it or a folder above it.
bool TouchesWindowsFolder(const char* fullPath, const char* finalPath) {
  char windowsFolders[2][MAX_PATH];
  UINT lengths[2] = {GetWindowsDirectoryA(windowsFolders[0], MAX_PATH),
                     GetSystemWindowsDirectoryA(windowsFolders[1], MAX_PATH)};
  for (int i = 0; i < 2; ++i) {
    if (lengths[i] == 0 || lengths[i] >= MAX_PATH) continue;
    if (Reaches(fullPath, finalPath, windowsFolders[i], true)) return true;
  }
  return false;
}

// The native program folders of a 64-bit system. A 32-bit program's folder
// lookups name the "(x86)" ones; Windows gives it the native ones in these
// environment values.
constexpr const char* NativeFolderVariables[] = {"ProgramW6432", "CommonProgramW6432"};

typedef HRESULT(WINAPI* FolderPathCall)(HWND, int, HANDLE, DWORD, LPSTR);

// The shell's folder lookup, SHGetFolderPathA; none without the shell.
FolderPathCall ShellFolderPath() { return SystemFunctionAs<FolderPathCall>(SystemLibrary::Shell, "SHGetFolderPathA"); }

// True when the folder is one of the shared folders, the temporary folder, or
// a folder above one of them.
bool HoldsSharedFolder(const char* fullPath, const char* finalPath) {
  auto folderPath = ShellFolderPath();
  // Without the shell nothing can be ruled out: every folder counts as shared.
  if (!folderPath) return true;
  char known[MAX_PATH];
  for (int id : SharedFolderIds) {
    // A folder this system does not have (the x86 ones on a 32-bit system) fails.
    if (folderPath(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, known) == S_OK && known[0] &&
        Reaches(fullPath, finalPath, known, false))
      return true;
  }
  for (const char* variable : NativeFolderVariables) {
    DWORD length = GetEnvironmentVariableA(variable, known, MAX_PATH);
    if (length > 0 && length < MAX_PATH && Reaches(fullPath, finalPath, known, false)) return true;
  }
  DWORD length = GetTempPathA(MAX_PATH, known);
  return length > 0 && length < MAX_PATH && Reaches(fullPath, finalPath, known, false);
}

// True when the folder is any user's profile or one of the folders kept in
// every profile (documents, application data, desktop), not only the
// current user's: the profiles folder is the one that holds the current
// user's profile.
bool IsAnyUsersProfileFolder(const char* fullPath, const char* finalPath) {
  auto folderPath = ShellFolderPath();
  // Without the shell every folder counts as a profile folder.
  if (!folderPath) return true;
  char profiles[MAX_PATH];
  if (folderPath(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profiles) != S_OK || !profiles[0])
    return false;
  StripTrailingSeparators(profiles);
  char* lastSeparator = strrchr(profiles, '\\');
  if (!lastSeparator) return false;
  *lastSeparator = '\0';
  if (IsUserProfileFolderText(fullPath, profiles)) return true;
  char profilesFinal[FinalPathBytes];
  return finalPath[0] && ReadFinalPath(profiles, profilesFinal) &&
         IsUserProfileFolderText(WithoutLocalExtendedPrefix(finalPath), WithoutLocalExtendedPrefix(profilesFinal));
}

// True when the folder is where a volume is mounted.
bool IsVolumeMountFolder(const char* fullPath) {
  char volume[MAX_PATH];
  if (!GetVolumePathNameA(fullPath, volume, MAX_PATH)) return false;
  StripTrailingSeparators(volume);
  char folder[MAX_PATH];
  lstrcpynA(folder, fullPath, MAX_PATH);
  StripTrailingSeparators(folder);
  return EqualIgnoringCase(folder, volume);
}

}  // namespace

bool IsProtectedFolder(const FixedPath& folder) {
  char fullPath[MAX_PATH];
  DWORD length = GetFullPathNameA(folder.Text(), MAX_PATH, fullPath, nullptr);
  if (length == 0 || length >= MAX_PATH) return true;
  if (IsVolumeRootText(fullPath) || IsVolumeMountFolder(fullPath)) return true;
  // The folder itself may be a link to a root or to a protected folder.
  char finalPath[FinalPathBytes];
  if (ReadFinalPath(fullPath, finalPath) && IsVolumeRootText(finalPath)) return true;
  return TouchesWindowsFolder(fullPath, finalPath) || HoldsSharedFolder(fullPath, finalPath) ||
         IsAnyUsersProfileFolder(fullPath, finalPath);
}
