#pragma once
// The seam between the portable core and the operating system: the few
// platform calls that pure memory, path and toolkit code needs.
// platform_win32.cpp implements it over kernel32 (the global heap,
// GetFileAttributesA, an event and the interlocked
// counters); platform_host.cpp implements it for the native, sanitized test
// build on Linux.

#include <cstddef>
#include <cstdint>

namespace platform {

// A resizable heap. Blocks of one side are never mixed with another allocator.
// HeapAllocate: zeroFill clears the whole block. Returns none on failure.
void* HeapAllocate(size_t size, bool zeroFill);
// HeapResize: the block may move; zeroFill clears the bytes added by growth.
// Returns none on failure, and the old block is then still valid.
void* HeapResize(void* block, size_t size, bool zeroFill);
void HeapRelease(void* block);
size_t HeapBlockSize(const void* block);

// File attribute bits as the platform reports them.
constexpr uint32_t AttributeReadOnly = 0x01;
constexpr uint32_t AttributeDirectory = 0x10;
constexpr uint32_t AttributeReparsePoint = 0x400;

// The attributes of a file or folder; false when the path cannot be examined.
bool ReadPathAttributes(const char* path, uint32_t* attributes);

// A lock that one holder at a time acquires, created free. CreateLock gives
// none when it cannot be created; AcquireLock waits for the lock and is false
// when the wait failed.
void* CreateLock();
bool AcquireLock(void* lock);
void ReleaseLock(void* lock);
void DestroyLock(void* lock);

// Adds 1 to or takes 1 from counter as one atomic step; the new value.
long AtomicIncrement(volatile long* counter);
long AtomicDecrement(volatile long* counter);

}  // namespace platform
