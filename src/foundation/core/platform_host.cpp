// The Linux side of the platform seam, for the native sanitized build. The
// heap keeps each block's size in a header so that resizes can zero-fill the
// added bytes as the global heap does.
#include "foundation/core/platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace platform {
namespace {

struct alignas(std::max_align_t) BlockHeader {
  size_t size;
};

BlockHeader* HeaderOf(const void* block) {
  return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) -
                                        sizeof(BlockHeader));
}

}  // namespace

void* HeapAllocate(size_t size, bool zeroFill) {
  auto* header = static_cast<BlockHeader*>(zeroFill ? calloc(1, sizeof(BlockHeader) + size)
                                                    : malloc(sizeof(BlockHeader) + size));
  if (!header) return nullptr;
  header->size = size;
  return header + 1;
}

void* HeapResize(void* block, size_t size, bool zeroFill) {
  if (!block) return nullptr;
  size_t oldSize = HeaderOf(block)->size;
  auto* header = static_cast<BlockHeader*>(realloc(HeaderOf(block), sizeof(BlockHeader) + size));
  if (!header) return nullptr;
  header->size = size;
  if (zeroFill && size > oldSize) memset(reinterpret_cast<char*>(header + 1) + oldSize, 0, size - oldSize);
  return header + 1;
}

void HeapRelease(void* block) {
  if (block) free(HeaderOf(block));
}

size_t HeapBlockSize(const void* block) {
  return block ? HeaderOf(block)->size : 0;
}

bool ReadPathAttributes(const char* path, uint32_t* attributes) {
  struct stat info;
  if (stat(path, &info) != 0) return false;
  uint32_t found = S_ISDIR(info.st_mode) ? AttributeDirectory : 0x80;  // 0x80: a normal file
  if (access(path, W_OK) != 0) found |= AttributeReadOnly;
  *attributes = found;
  return true;
}


void* CreateLock() { return new (std::nothrow) std::mutex; }

bool AcquireLock(void* lock) {
  static_cast<std::mutex*>(lock)->lock();
  return true;
}

void ReleaseLock(void* lock) { static_cast<std::mutex*>(lock)->unlock(); }

void DestroyLock(void* lock) { delete static_cast<std::mutex*>(lock); }

long AtomicIncrement(volatile long* counter) { return __atomic_add_fetch(counter, 1, __ATOMIC_SEQ_CST); }

long AtomicDecrement(volatile long* counter) { return __atomic_sub_fetch(counter, 1, __ATOMIC_SEQ_CST); }

}  // namespace platform
