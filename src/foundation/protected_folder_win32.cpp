// The protection of volume roots and the Windows folder, over
// GetFullPathNameA, GetVolumePathNameA and the Windows folder's location.
#include <windows.h>

#include "foundation/final_path.h"
#include "foundation/protected_folder.h"
#include "foundation/protected_folder_text.h"
#include "foundation/text_case.h"

namespace {

// True when folder is the Windows folder (the user's or the system's) or
// contains it, by the given names or where they lead.
bool HoldsWindowsFolder(const char* fullPath, const char* finalPath) {
  char windowsFolders[2][MAX_PATH];
  UINT lengths[2] = {GetWindowsDirectoryA(windowsFolders[0], MAX_PATH),
                     GetSystemWindowsDirectoryA(windowsFolders[1], MAX_PATH)};
  for (int i = 0; i < 2; ++i) {
    if (lengths[i] == 0 || lengths[i] >= MAX_PATH) continue;
    if (IsSameOrAncestorFolder(fullPath, windowsFolders[i])) return true;
    char windowsFinal[FinalPathBytes];
    if (finalPath[0] && ReadFinalPath(windowsFolders[i], windowsFinal) &&
        IsSameOrAncestorFolder(finalPath, windowsFinal))
      return true;
  }
  return false;
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
  // The folder itself may be a link to a root or to the Windows folder.
  char finalPath[FinalPathBytes];
  if (ReadFinalPath(fullPath, finalPath) && IsVolumeRootText(finalPath)) return true;
  return HoldsWindowsFolder(fullPath, finalPath);
}
