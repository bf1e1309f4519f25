#include "toolkit/grow_array.h"

#include "toolkit/memory.h"


namespace {

// The largest block this 32-bit program can ask for; capacity x element size
// is computed wide and checked against it so that it cannot wrap around.
constexpr uint64_t LargestBlockBytes = 0x7FFFFFFFu;

bool IsActive(const GrowArray& array) { return (array.flags & GrowArray::ActiveFlag) != 0; }
bool HasFixedBlock(const GrowArray& array) { return (array.flags & GrowArray::FixedBlockFlag) != 0; }

uint32_t Lower(uint32_t a, uint32_t b) { return a < b ? a : b; }

void ForgetFields(GrowArray& array) {
  array.count = 0;
  array.capacity = 0;
  array.flags = 0;
  array.elementSize = 0;
  array.block = nullptr;
}

// The capacity that SetCount grows to for count elements, computed wide.
uint64_t GrownCapacity(const GrowArray& array, uint32_t count) {
  uint64_t step = array.flags & GrowArray::StepMask;
  if (step != 0) return step * ((step + count - 1) / step);
  if (array.capacity == 0) return count;
  uint64_t capacity = array.capacity;
  while (capacity < count) capacity *= 2;
  return capacity;
}

}  // namespace

bool InitGrowArray(GrowArray& array, int32_t elementSize, uint32_t count, uint32_t capacity,
                   uint32_t step, bool zeroFill) {
  ForgetFields(array);
  array.elementSize = elementSize;
  if (count > capacity || elementSize < 0) return false;
  array.flags = (step & GrowArray::StepMask) | GrowArray::ActiveFlag |
                (zeroFill ? GrowArray::ZeroFillFlag : 0);
  if (!SetCapacity(array, capacity) || !SetCount(array, count)) {
    ReleaseGrowArray(array);
    return false;
  }
  return true;
}

bool InitGrowArrayOver(GrowArray& array, int32_t elementSize, void* block, uint32_t count,
                       uint32_t capacity) {
  ForgetFields(array);
  array.elementSize = elementSize;
  if (count > capacity || elementSize < 0 || (!block && capacity != 0)) return false;
  array.capacity = capacity;
  array.count = count;
  array.flags = GrowArray::ActiveFlag | GrowArray::FixedBlockFlag;
  array.block = block;
  return true;
}

bool SetCapacity(GrowArray& array, uint32_t capacity) {
  if (!IsActive(array)) return false;
  if (capacity == array.capacity) return true;
  if (HasFixedBlock(array)) {
    if (capacity > array.capacity) return false;
    array.capacity = capacity;
    array.count = Lower(array.count, capacity);
    return true;
  }
  array.count = Lower(array.count, capacity);
  uint64_t bytes = uint64_t{capacity} * static_cast<uint32_t>(array.elementSize);
  if (bytes > LargestBlockBytes) return false;
  if (bytes != 0) {
    bool zeroFill = (array.flags & GrowArray::ZeroFillFlag) != 0;
    void* block = array.block ? ToolkitRealloc(array.block, static_cast<size_t>(bytes), zeroFill)
                              : ToolkitAlloc(static_cast<size_t>(bytes), zeroFill);
    if (!block) return false;
    array.block = block;
  } else {
    ToolkitFree(array.block);
    array.block = nullptr;
  }
  array.capacity = capacity;
  return true;
}

bool SetCount(GrowArray& array, uint32_t count) {
  if (!IsActive(array)) return false;
  if (count <= array.capacity) {
    array.count = count;
    return true;
  }
  if (HasFixedBlock(array)) return false;
  uint64_t capacity = GrownCapacity(array, count);
  if (capacity > UINT32_MAX || !SetCapacity(array, static_cast<uint32_t>(capacity))) return false;
  array.count = count;
  return true;
}

bool ReleaseGrowArray(GrowArray& array) {
  if (!IsActive(array)) return false;
  bool released = SetCapacity(array, 0);
  ForgetFields(array);
  return released;
}

void* GrowArrayElement(const GrowArray& array, uint32_t index) {
  if (index >= array.count || !array.block) return nullptr;
  return static_cast<char*>(array.block) + uint64_t{index} * static_cast<uint32_t>(array.elementSize);
}
