#pragma once
// GrowArray: the toolkit's array of fixed-size elements in one contiguous
// block from the toolkit's memory routines. Elements are read and written
// directly in the block; the array manages only count, capacity and the block,
// with the growth policy chosen when it is set up.
//
// A default GrowArray (all fields zero) is inactive: it holds nothing, refuses
// every change, and releasing it does nothing. InitGrowArray and
// InitGrowArrayOver make it active; ReleaseGrowArray makes it inactive again.
// The array does not release itself: its owner calls ReleaseGrowArray.
//
// Appending one element, the idiom used throughout the program:
//   if (SetCount(array, array.count + 1)) write element array.count - 1.

#include <cstdint>

struct GrowArray {
  static constexpr uint32_t ActiveFlag = 0x80000000u;
  // New and grown storage is cleared.
  static constexpr uint32_t ZeroFillFlag = 0x40000000u;
  // The block belongs to the caller: never resized or freed; the capacity
  // can only shrink.
  static constexpr uint32_t FixedBlockFlag = 0x20000000u;
  // Growth step in elements; 0 doubles the capacity instead.
  static constexpr uint32_t StepMask = 0x1FFFFFFFu;

  uint32_t count = 0;     // elements in use
  uint32_t capacity = 0;  // elements the block holds
  uint32_t flags = 0;
  int32_t elementSize = 0;  // bytes per element
  void* block = nullptr;    // none when capacity x element size is 0 (owned block)

  GrowArray() = default;
  // Two arrays must never share one owned block.
  GrowArray(const GrowArray&) = delete;
  GrowArray& operator=(const GrowArray&) = delete;
};

// Sets up an owned array: flags from step (low 29 bits) and zeroFill, then
// capacity and count. False when count > capacity or elementSize is negative
// (the array stays inactive), or when the storage cannot be had (the array is
// released). Overwrites the fields: release an active array first.
bool InitGrowArray(GrowArray& array, int32_t elementSize, uint32_t count, uint32_t capacity,
                   uint32_t step, bool zeroFill);
// Sets up an array over the caller's block of capacity elements: fixed block,
// no zero fill, no step. False (inactive) when count > capacity, elementSize
// is negative, or there is no block but a capacity.
bool InitGrowArrayOver(GrowArray& array, int32_t elementSize, void* block, uint32_t count,
                       uint32_t capacity);
// Sets the number of elements the block holds; a lower capacity lowers the
// count too, even when the resize then fails. A fixed block only shrinks.
bool SetCapacity(GrowArray& array, uint32_t capacity);
// Sets the number of elements in use, growing the storage by the array's
// policy when needed. Shrinking the count never releases storage.
bool SetCount(GrowArray& array, uint32_t count);
// Frees an owned block (a fixed block is only forgotten) and clears every
// field. False, doing nothing, for an inactive array.
bool ReleaseGrowArray(GrowArray& array);

// The element at index, or none when index is not below the count.
void* GrowArrayElement(const GrowArray& array, uint32_t index);
