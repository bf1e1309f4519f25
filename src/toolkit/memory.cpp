#include "toolkit/memory.h"

#include <cstring>

#include "foundation/core/platform.h"

void* ToolkitAlloc(size_t size, bool zeroFill) { return platform::HeapAllocate(size, zeroFill); }

void ToolkitFree(void* block) {
  if (block) platform::HeapRelease(block);
}

void* ToolkitRealloc(void* block, size_t size, bool zeroFill) {
  // The global heap discards a moveable block resized to 0 bytes and the C
  // heap frees it, so neither would hand back a usable block.
  if (!block || size == 0) return nullptr;
  return platform::HeapResize(block, size, zeroFill);
}

size_t ToolkitBlockSize(const void* block) { return platform::HeapBlockSize(block); }

void ZeroBytes(void* buffer, size_t count) {
  if (buffer && count) memset(buffer, 0, count);
}
