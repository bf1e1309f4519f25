#include "support/volume_filler_win32.h"

#include <windows.h>

#include <cstdlib>

#include "support/temp_folder_win32.h"

std::string SmallVolumeRoot() {
  const char* root = getenv("PROFILE_FULL_VOLUME");
  return root ? root : "";
}

VolumeFiller::VolumeFiller(const std::string& path) : path_(path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  // Large writes first, then single bytes, so that no room is left at all.
  static char chunk[65536];
  for (DWORD size = sizeof chunk; size > 0; size /= 2) {
    DWORD written = 0;
    while (WriteFile(file, chunk, size, &written, nullptr) && written == size) {
    }
  }
  DWORD written = 0;
  full_ = !WriteFile(file, chunk, 1, &written, nullptr) || written == 0;
  CloseHandle(file);
}

VolumeFiller::~VolumeFiller() { RemovePath(path_); }
