#pragma once
// String: a growable single-byte text in one heap block, with an explicit
// capacity and three flag bits. An empty String has no block and flags 0.
//
// Flag word: bits 0-28 the capacity (block size, terminator included), bit 29
// fixed capacity, bit 30 not owned (the block is never resized or released),
// bit 31 read-only (every change fails). The text is always shorter than the
// capacity. Blocks come from the platform heap and may move when they grow.
//
// Every operation that can fail returns false on an allocation failure, on a
// read-only String, and on a not-owned String that would have to grow. After a
// failed resize the String has no text but keeps its flag word; callers then
// treat it as lost and Clear it.

#include <cstdint>

class String {
 public:
  static constexpr uint32_t AllCharacters = 0xFFFFFFFFu;
  static constexpr uint32_t CapacityMask = 0x1FFFFFFFu;
  static constexpr uint32_t FixedCapacityFlag = 0x20000000u;
  static constexpr uint32_t NotOwnedFlag = 0x40000000u;
  static constexpr uint32_t ReadOnlyFlag = 0x80000000u;

  String() = default;
  ~String() { Clear(); }
  String(const String&) = delete;
  String& operator=(const String&) = delete;

  // Releases an owned block; then no text and flags 0. Works when read-only.
  void Clear();
  // Characters before the terminator; 0 without a block.
  uint32_t Length() const;
  uint32_t Capacity() const { return flags_ & CapacityMask; }
  uint32_t Flags() const { return flags_; }
  // The text, or none for an empty String.
  const char* Text() const { return text_; }
  // The text, or "" for an empty String, for callers that print or compare.
  const char* TextOrEmpty() const { return text_ ? text_ : ""; }
  // Writable access to the block, for callers that fill a reserved String.
  char* Block() { return text_; }

  bool Reserve(uint32_t n, bool keep);
  bool EnsureRoom(uint32_t n, bool keep);
  // Writes count characters of text (AllCharacters: the whole text) at
  // position and ends the text after them. Text may point into this String.
  bool Put(const char* text, uint32_t count, uint32_t position);
  bool PutString(const String& other, uint32_t position);
  bool Fill(char character, uint32_t count, uint32_t position);
  bool Swap(String& other);
  // Points at the caller's text without copying (not owned; read-only when
  // asked). A read-only attached String serves only as a source.
  void Attach(const char* text, bool readOnly);

  // The idioms of the program.
  bool Assign(const char* text) { return Put(text, AllCharacters, 0); }
  bool Append(const char* text) { return Put(text, AllCharacters, Length()); }
  bool AppendCharacter(char character) { return Fill(character, 1, Length()); }
  bool AppendString(const String& other) { return PutString(other, Length()); }

  // Flag setters.
  void SetReadOnly(bool on);
  void SetNotOwned(bool on);
  void SetCapacity(uint32_t capacity);

 private:
  char* text_ = nullptr;
  uint32_t flags_ = 0;
};
