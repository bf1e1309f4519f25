// The Linux side of paths, for the native sanitized build: a program file
// name that tests set, where no Windows program file exists.
#include "foundation/core/paths.h"

#include <cstring>

namespace {

char hostProgramFileName[260] = "C:\\Corvalent\\ControlPanel.exe";

}  // namespace

uint32_t ReadProgramFileName(char* buffer, uint32_t capacity) {
  if (capacity == 0) return 0;
  size_t length = strlen(hostProgramFileName);
  if (length >= capacity) {
    buffer[0] = '\0';
    return 0;
  }
  memcpy(buffer, hostProgramFileName, length + 1);
  return static_cast<uint32_t>(length);
}

void SetHostProgramFileName(const char* path) {
  size_t length = strlen(path);
  if (length >= sizeof hostProgramFileName) length = sizeof hostProgramFileName - 1;
  memcpy(hostProgramFileName, path, length);
  hostProgramFileName[length] = '\0';
}
