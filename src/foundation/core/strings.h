#pragma once
// Texts: the growable heap text String, comparisons without regard to case,
// and four-character codes.

#include <cstdint>

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

  // Makes the block exactly n + 1 bytes. keep: the text stays (cut at n);
  // otherwise the old block is released first and the text is empty. A fixed
  // or not-owned String allocates nothing and succeeds only when n is below
  // its length.
  bool Reserve(uint32_t n, bool keep);
  // True at once when n is below the capacity; otherwise Reserve of the larger
  // of twice the capacity and n.
  bool EnsureRoom(uint32_t n, bool keep);
  // Writes count characters of text (AllCharacters: the whole text; a shorter
  // text is padded with NUL) at position and ends the text after them. No text
  // or none to write ends the text at position. Text may point into this
  // String; the result is then built in a copy and swapped in.
  bool Put(const char* text, uint32_t count, uint32_t position);
  // Put of the other String's whole text; other may be this String.
  bool PutString(const String& other, uint32_t position);
  // Writes count copies of character at position and ends the text after them.
  bool Fill(char character, uint32_t count, uint32_t position);
  // Two plain owned Strings, or two read-only ones, exchange blocks and flags;
  // otherwise the texts are exchanged by copying, when each fits the other.
  bool Swap(String& other);
  // Points at the caller's text without copying (not owned; read-only when
  // asked). A read-only attached String serves only as a source.
  void Attach(const char* text, bool readOnly);

  // The idioms of the program.
  bool Assign(const char* text) { return Put(text, AllCharacters, 0); }
  bool Append(const char* text) { return Put(text, AllCharacters, Length()); }
  bool AppendCharacter(char character) { return Fill(character, 1, Length()); }
  bool AppendString(const String& other) { return PutString(other, Length()); }

  // Flag setters. SetCapacity keeps bits 29-31. Nothing in the program marks a
  // String fixed; SetFixedCapacity exists so that the rule can be exercised.
  void SetReadOnly(bool on);
  void SetNotOwned(bool on);
  void SetFixedCapacity(bool on);
  void SetCapacity(uint32_t capacity);

 private:
  // The capacity of the block actually held: 0 after a failed resize, whose
  // flag word still names the old capacity.
  uint32_t BlockCapacity() const;
  // The growth rule: room for position + count characters, at least doubling.
  bool Grow(uint32_t position, uint32_t count, bool keep);
  bool PointsIntoBlock(const char* text) const;
  void EndAt(uint32_t position);
  bool PutOwnText(const char* text, uint32_t count, uint32_t length, uint32_t position);

  char* text_ = nullptr;
  uint32_t flags_ = 0;
};

// Comparisons without regard to case, for file extensions, name prefixes and
// window class names. Text is single-byte; the letters A-Z and a-z are
// folded, every other byte is compared as it is.

// c with the letters A-Z folded to a-z; every other byte as it is.
inline char FoldedCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const char* a, const char* b);

// True when text begins with prefix (an empty prefix always).
bool StartsWithIgnoringCase(const char* text, const char* prefix);

// Four-character codes: file creators and file types.

// Packs a four-character code, the first character in the most significant byte.
constexpr uint32_t FourCharacterCode(const char (&code)[5]) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}
