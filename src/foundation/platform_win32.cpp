// The Win32 side of the platform seam: the global heap, file attributes and
// the module file name.
#include "foundation/platform.h"

#include <windows.h>

namespace platform {

void* HeapAllocate(size_t size, bool zeroFill) {
  return GlobalAlloc(zeroFill ? GPTR : GMEM_FIXED, size);
}

void* HeapResize(void* block, size_t size, bool zeroFill) {
  UINT flags = GMEM_MOVEABLE | (zeroFill ? GMEM_ZEROINIT : 0);
  return GlobalReAlloc(block, size, flags);
}

void HeapRelease(void* block) {
  if (block) GlobalFree(block);
}

size_t HeapBlockSize(const void* block) {
  return block ? GlobalSize(const_cast<void*>(block)) : 0;
}

bool ReadPathAttributes(const char* path, uint32_t* attributes) {
  DWORD found = GetFileAttributesA(path);
  if (found == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = found;
  return true;
}

uint32_t ReadProgramFileName(char* buffer, uint32_t capacity) {
  if (capacity == 0) return 0;
  DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
  // A full buffer means the name was cut; treat that as unreadable.
  if (length == 0 || length >= capacity) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
}

}  // namespace platform
