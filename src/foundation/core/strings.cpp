#include "foundation/core/strings.h"

#include <cstring>
#include <functional>
#include <utility>

#include "foundation/core/platform.h"

namespace {

constexpr uint32_t FlagBits = ~String::CapacityMask;
// Bits 29 and 30 both forbid moving or resizing the block.
constexpr uint32_t NoGrowthFlags = String::FixedCapacityFlag | String::NotOwnedFlag;
// The largest text a capacity field can describe (terminator excluded).
constexpr uint64_t LongestText = String::CapacityMask - 1;

uint32_t Larger(uint32_t a, uint32_t b) { return a > b ? a : b; }

// The size asked for when a block of this capacity must hold n characters:
// at least twice the capacity, so that appending costs amortised constant time.
uint32_t GrownSize(uint32_t capacity, uint32_t n) {
  uint32_t doubled = 2 * capacity < LongestText ? 2 * capacity : static_cast<uint32_t>(LongestText);
  return Larger(doubled, n);
}

}  // namespace

void String::Clear() {
  if (text_ && !(flags_ & (NotOwnedFlag | ReadOnlyFlag))) platform::HeapRelease(text_);
  text_ = nullptr;
  flags_ = 0;
}

uint32_t String::Length() const { return text_ ? static_cast<uint32_t>(strlen(text_)) : 0; }

uint32_t String::BlockCapacity() const { return text_ ? Capacity() : 0; }

bool String::Reserve(uint32_t n, bool keep) {
  if (flags_ & ReadOnlyFlag) return false;
  if (flags_ & NoGrowthFlags) return text_ && n < Length();
  if (n > LongestText) return false;
  if (text_ && !keep) Clear();
  bool fresh = !text_;
  void* block = fresh ? platform::HeapAllocate(n + 1, false) : platform::HeapResize(text_, n + 1, false);
  if (!block) {
    // The old block is still valid after a failed resize; release it here
    // rather than lose it, since the String no longer points at it.
    platform::HeapRelease(text_);
    text_ = nullptr;
    return false;
  }
  text_ = static_cast<char*>(block);
  text_[keep ? n : 0] = '\0';
  if (fresh) text_[0] = '\0';  // a new block holds no text, whatever is kept
  flags_ = (flags_ & FixedCapacityFlag) | (n + 1);
  return true;
}

bool String::EnsureRoom(uint32_t n, bool keep) {
  uint32_t capacity = BlockCapacity();
  if (n < capacity) return true;
  return Reserve(GrownSize(capacity, n), keep);
}

bool String::Grow(uint32_t position, uint32_t count, bool keep) {
  uint64_t end = uint64_t{position} + count;
  if (end > LongestText) return false;
  uint32_t capacity = BlockCapacity();
  if (end < capacity) return true;
  return Reserve(GrownSize(capacity, static_cast<uint32_t>(end)), keep);
}

bool String::PointsIntoBlock(const char* text) const {
  std::less<const char*> before;
  return text_ && !before(text, text_) && before(text, text_ + BlockCapacity());
}

void String::EndAt(uint32_t position) {
  // A position past the block leaves the text as it is.
  if (text_ && position < BlockCapacity()) text_[position] = '\0';
}

bool String::Put(const char* text, uint32_t count, uint32_t position) {
  if (flags_ & ReadOnlyFlag) return false;
  if (!text_ && !text) return true;
  uint32_t length = !text ? 0 : count == AllCharacters ? static_cast<uint32_t>(strlen(text)) : count;
  if (length == 0) {
    EndAt(position);
    return true;
  }
  if (PointsIntoBlock(text)) return PutOwnText(text, count, length, position);
  if (!Grow(position, length, position != 0)) return false;
  if (count == AllCharacters) {
    memcpy(text_ + position, text, length);
  } else {
    strncpy(text_ + position, text, length);  // pads with NUL when text is shorter
  }
  text_[position + length] = '\0';
  return true;
}

bool String::PutOwnText(const char* text, uint32_t count, uint32_t length, uint32_t position) {
  if (position == 0 && text == text_) {
    // Writing the text over itself; only a shorter count changes it.
    if (count != AllCharacters && count < Length()) text_[count] = '\0';
    return true;
  }
  // Growing may move the block, so the source is found again by its offset.
  uint32_t offset = static_cast<uint32_t>(text - text_);
  if (!Grow(position, length, true)) return false;
  String copy;
  uint32_t ownLength = Length();
  if (!copy.Reserve(Larger(position + length, ownLength), false)) return false;
  memcpy(copy.text_, text_, ownLength + 1);
  if (!copy.Put(text_ + offset, count, position)) return false;
  return Swap(copy);
}

bool String::PutString(const String& other, uint32_t position) {
  return Put(other.text_, AllCharacters, position);
}

bool String::Fill(char character, uint32_t count, uint32_t position) {
  if (flags_ & ReadOnlyFlag) return false;
  if (count == 0) return true;
  if (!Grow(position, count, position != 0)) return false;
  memset(text_ + position, character, count);
  text_[position + count] = '\0';
  return true;
}

bool String::Swap(String& other) {
  bool bothPlain = flags_ < FixedCapacityFlag && other.flags_ < FixedCapacityFlag;
  bool bothReadOnly = (flags_ & ReadOnlyFlag) && (other.flags_ & ReadOnlyFlag);
  if (bothPlain || bothReadOnly) {
    std::swap(text_, other.text_);
    std::swap(flags_, other.flags_);
    return true;
  }
  // One of them cannot give up its block: exchange the texts by copying.
  if ((flags_ | other.flags_) & ReadOnlyFlag) return false;
  if (other.Length() >= BlockCapacity() || Length() >= other.BlockCapacity()) return false;
  // Only the held copy allocates; without it neither text is touched.
  String held;
  if (!held.Put(text_, AllCharacters, 0)) return false;
  bool copied = Put(other.text_, AllCharacters, 0);
  return other.Put(held.text_, AllCharacters, 0) && copied;
}

void String::Attach(const char* text, bool readOnly) {
  Clear();
  if (!text) return;
  text_ = const_cast<char*>(text);  // never written while read-only
  flags_ = NotOwnedFlag | (readOnly ? ReadOnlyFlag : 0) | ((static_cast<uint32_t>(strlen(text)) + 1) & CapacityMask);
}

void String::SetReadOnly(bool on) { flags_ = on ? flags_ | ReadOnlyFlag : flags_ & ~ReadOnlyFlag; }

void String::SetNotOwned(bool on) { flags_ = on ? flags_ | NotOwnedFlag : flags_ & ~NotOwnedFlag; }

void String::SetFixedCapacity(bool on) {
  flags_ = on ? flags_ | FixedCapacityFlag : flags_ & ~FixedCapacityFlag;
}

void String::SetCapacity(uint32_t capacity) { flags_ = (flags_ & FlagBits) | (capacity & CapacityMask); }

bool EqualIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldedCase(*a) != FoldedCase(*b)) return false;
    if (*a == '\0') return true;
  }
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (FoldedCase(*text) != FoldedCase(*prefix)) return false;  // also at the end of text
  }
  return true;
}
