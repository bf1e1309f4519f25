#pragma once
// Containers: the typed array of plain records.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

// TypedArray: a growable array of one element type in one block from the C
// heap. Used for the component files, lists of Strings, and the sections and
// entries of a profile document.
//
// Ownership: an array whose data is present and whose capacity is 0 borrows
// its block. It never destroys those elements and never frees or resizes the
// block; clearing only forgets the pointer, and it must not be grown. Every
// other array owns its block and its elements.
//
// Elements from count to capacity - 1 are raw storage. The block moves when it
// grows, and elements move with it byte for byte, so element types hold no
// pointers to themselves, and callers keep indexes, not pointers, across an
// append.
//
// The append idiom:
//   if (array.Grow(array.count + 1)) construct element count in place, and
//   add 1 to count only when that succeeded.
// Append() below does exactly that with a construction step that may fail.

// The element types TypedArray may move byte for byte: every trivially
// copyable type, and each type that says so with a specialisation (String and
// FixedPath here, ProfileEntry and ProfileSection beside their definitions).
// Such a type holds no pointer into itself, and nothing else holds its address
// across a move, so its bytes at a new place are the same object. A type with a pointer into
// itself (std::string with its short buffer, for one) must not be an element:
// the array refuses it when it is built.
template <typename T>
struct IsByteMovable : std::is_trivially_copyable<T> {};

class String;
template <>
struct IsByteMovable<String> : std::true_type {};  // its block pointer moves with it
struct FixedPath;
template <>
struct IsByteMovable<FixedPath> : std::true_type {};  // a value record of 261 bytes

template <typename T>
struct TypedArray {
  // The largest block a 32-bit program can be given; larger requests fail
  // before they reach the heap.
  static constexpr uint64_t LargestBlockBytes = 0x7FFFFFFFu;

  T* data = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;

  TypedArray() = default;
  ~TypedArray() {
    // Checked here rather than in the class, where T may still be incomplete.
    static_assert(IsByteMovable<T>::value, "TypedArray moves its elements with realloc and memmove");
    DestroyArray();
  }
  TypedArray(const TypedArray&) = delete;
  TypedArray& operator=(const TypedArray&) = delete;

  bool IsBorrowed() const { return data != nullptr && capacity == 0; }

  // Makes the array borrow block, which holds count constructed elements.
  // The array must be empty and without a block of its own.
  void Borrow(T* block, int32_t elements) {
    data = block;
    count = elements;
    capacity = 0;
  }

  // True when the capacity is at least needed afterwards. Grows to the larger
  // of twice the capacity and needed, so appending one at a time gives
  // capacities 1, 2, 4, 8 ... On failure the array is unchanged. A borrowed
  // array never grows.
  bool Grow(int32_t needed) {
    if (capacity >= needed) return true;
    if (IsBorrowed()) return false;
    int64_t wanted = int64_t{capacity} * 2;
    if (wanted < needed) wanted = needed;
    if (wanted > INT32_MAX) wanted = INT32_MAX;
    return ResizeBlock(static_cast<int32_t>(wanted));
  }

  // Resizes an owned block to exactly n elements (n not below count). False,
  // and the array unchanged, when memory runs out or n is out of range.
  bool ResizeBlock(int32_t n) {
    if (IsBorrowed() || n < count || n <= 0) return false;
    const uint64_t bytes = uint64_t{static_cast<uint32_t>(n)} * sizeof(T);
    if (bytes > LargestBlockBytes) return false;
    void* block = std::realloc(static_cast<void*>(data), static_cast<size_t>(bytes));
    if (!block) return false;
    data = static_cast<T*>(block);
    capacity = n;
    return true;
  }

  // The append idiom. construct(raw slot) builds the element in place and
  // returns whether it did; a construction that fails leaves the slot raw.
  // True when the element was added.
  template <typename Construct>
  bool Append(Construct construct) {
    if (count == INT32_MAX || !Grow(count + 1)) return false;
    if (!construct(static_cast<void*>(data + count))) return false;
    ++count;
    return true;
  }

  // Inserts an element at position (0 to count), moving the ones behind it
  // back by one. Nothing is inserted when the array cannot grow or the
  // construction fails.
  template <typename Construct>
  bool Insert(int32_t position, Construct construct) {
    if (position < 0 || position > count || count == INT32_MAX || !Grow(count + 1)) return false;
    T* slot = data + position;
    const size_t behind = static_cast<size_t>(count - position) * sizeof(T);
    std::memmove(static_cast<void*>(slot + 1), static_cast<const void*>(slot), behind);
    if (!construct(static_cast<void*>(slot))) {
      std::memmove(static_cast<void*>(slot), static_cast<const void*>(slot + 1), behind);
      return false;
    }
    ++count;
    return true;
  }

  // Destroys number elements from first on, in place; their slots become raw.
  void DestroyRange(int32_t first, int32_t number) {
    for (int32_t i = 0; i < number; ++i) data[first + i].~T();
  }

  // Destroys the last element and lowers the count by one.
  void RemoveLast() {
    if (count == 0 || IsBorrowed()) return;
    DestroyRange(count - 1, 1);
    --count;
  }

  // Owned: destroys the elements and keeps the block and capacity for reuse.
  // Borrowed: forgets the block. The count becomes 0 either way.
  void ClearArray() {
    if (IsBorrowed()) {
      data = nullptr;
    } else {
      DestroyRange(0, count);
    }
    count = 0;
  }

  // Owned: destroys the elements and frees the block. Borrowed: nothing.
  void DestroyArray() {
    if (IsBorrowed()) return;
    DestroyRange(0, count);
    std::free(static_cast<void*>(data));
    data = nullptr;
    count = 0;
    capacity = 0;
  }

  T& operator[](int32_t index) { return data[index]; }
  const T& operator[](int32_t index) const { return data[index]; }
};


// Appends a copy of text (none counts as the empty text) by the append idiom;
// false, and the list unchanged, when memory runs out.
bool AppendTextCopy(TypedArray<String>& list, const char* text);
// Appends a copy of path; false, and the list unchanged, when it cannot grow.
bool AppendPathCopy(TypedArray<FixedPath>& list, const FixedPath& path);
