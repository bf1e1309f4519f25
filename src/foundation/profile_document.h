#pragma once
// Profile documents: the INI-like files of the player and of the program,
// read into sections of keys and values, looked up through a name index,
// written back in one form; and single values read or changed in a document or
// a file.

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_stream.h"
#include "foundation/paths.h"
#include "foundation/status.h"
#include "foundation/strings.h"

// NameIndex: a chained hash table from a name to the position of the last
// section or entry added under it. The index never copies names: a node points
// at the characters of the String that owns them, which must stay in place
// while the name is indexed (the texts of profile names never change).
//
// Nodes come from a pool of blocks of 32 nodes from the C heap; emptying the
// index gives its nodes back to the pool's free list, and all blocks are
// released together when the index is destroyed. The bucket array keeps its
// block when the index is emptied.

struct NameIndexNode {
  NameIndexNode* next;   // the next node of its chain
  const char* name;      // the owner's characters, NUL-terminated
  int32_t position;
};

// Nodes carved from blocks that are linked through a small header.
struct NameNodePool {
  static constexpr int32_t StandardBlockNodes = 32;
  static constexpr int32_t SmallestBlockNodes = 10;

  struct Block;
  Block* blocks = nullptr;         // the newest block first
  NameIndexNode* freeNodes = nullptr;
  int32_t blockNodes = StandardBlockNodes;
  int32_t usedInNewest = 0;        // nodes handed out from the newest block

  explicit NameNodePool(int32_t nodesPerBlock = StandardBlockNodes);
  ~NameNodePool();
  NameNodePool(const NameNodePool&) = delete;
  NameNodePool& operator=(const NameNodePool&) = delete;

  // A node from the free list, else from the newest block, else from a new
  // block; none when memory runs out.
  NameIndexNode* Take();
  void GiveBack(NameIndexNode* node);
  int32_t BlockCount() const;
};

// The bucket counts, in order: the largest prime below each power of two from
// 2^5 to 2^31.
extern const int32_t NameIndexBucketCounts[27];

// The hash of a name: each byte taken as signed, hash = hash * 33 + byte, in
// unsigned 32-bit arithmetic.
uint32_t HashName(const char* name);

struct NameIndex {
  TypedArray<NameIndexNode*> buckets;  // count = the bucket count (0 before the first name)
  int32_t names = 0;
  NameNodePool pool;

  NameIndex() = default;
  NameIndex(const NameIndex&) = delete;
  NameIndex& operator=(const NameIndex&) = delete;

  int32_t BucketCount() const { return buckets.count; }
  // The position indexed under name (none counts as the empty name); false
  // when the name is not indexed.
  bool Find(const char* name, int32_t* position) const;
  // Indexes name at position; a name already indexed takes the new position.
  // False when memory for the buckets or a node block cannot be had; the index
  // is then as it was. name must stay valid while it is indexed.
  bool Insert(const char* name, int32_t position);
  // Forgets every name: the nodes go back to the pool, the bucket count
  // becomes 0 and the bucket block stays for reuse.
  void Empty();

 private:
  bool Resize(int32_t bucketCount);
};

// ProfileDocument: the in-memory form of one INI-like profile file, an
// ordered list of named sections, each an ordered list of key/value entries,
// with a hash index over the section names and one over the keys of each
// section. Names are compared byte for byte with case. Duplicate sections and
// keys are all kept; a lookup by name finds the last one added under it, the
// earlier ones stay reachable by position.
//
// Sections and entries lie in TypedArrays whose blocks move when they grow:
// callers hold positions, or fetch pointers again after adding.
//
// Reading and writing files, and the text form: below.

struct ProfileEntry {
  String key;
  String value;  // empty values have no text

  const char* Key() const { return key.TextOrEmpty(); }
  const char* Value() const { return value.TextOrEmpty(); }
  // Puts count characters of text (String::AllCharacters: all of it) into the
  // value. StatusNoMemory when that fails.
  Status SetValue(const char* text, uint32_t count = String::AllCharacters);
};
template <>
struct IsByteMovable<ProfileEntry> : std::true_type {};  // Strings only

struct ProfileSection {
  String name;  // the text between the brackets
  TypedArray<ProfileEntry> entries;
  NameIndex entryIndex;

  const char* Name() const { return name.TextOrEmpty(); }
  int32_t EntryCount() const { return entries.count; }
  // out = the entry at position; StatusNotFound past the end (out none).
  Status EntryAt(int32_t position, ProfileEntry** out);
  // out = the last entry added under key. Not found: with create, AddEntry;
  // otherwise StatusNotFound and out none.
  Status FindEntry(const char* key, ProfileEntry** out, bool create);
  // Appends a new entry with an empty value, even when the key exists. The
  // key is the first length characters of key (String::AllCharacters: all).
  // StatusNoMemory, nothing added and out none, when memory runs out.
  Status AddEntry(const char* key, ProfileEntry** out, uint32_t length = String::AllCharacters);
  // Destroys every entry and empties the entry index.
  void ClearEntries();
};
template <>
struct IsByteMovable<ProfileSection> : std::true_type {};  // a String and an array's block pointer

struct ProfileDocument {
  TypedArray<ProfileSection> sections;
  NameIndex sectionIndex;
  // The file it was read from began with a UTF-8 byte-order mark, which the
  // file's writer puts back (ReadProfile, WriteProfile); the text form never holds it.
  bool utf8ByteOrderMark = false;

  ProfileDocument() = default;
  ProfileDocument(const ProfileDocument&) = delete;
  ProfileDocument& operator=(const ProfileDocument&) = delete;

  // Destroys every section and empties the section index.
  void ClearDocument();
  int32_t SectionCount() const { return sections.count; }
  // out = the section at position; StatusNotFound past the end (out untouched).
  Status SectionAt(int32_t position, ProfileSection** out);
  // out = the last section added under name. Not found: with create,
  // AddSection; otherwise StatusNotFound and out none.
  Status FindSection(const char* name, ProfileSection** out, bool create);
  // Appends a new empty section, even when one of that name exists. The name
  // is the first length characters of name (String::AllCharacters: all).
  // StatusNoMemory, nothing added and out none, when memory runs out.
  Status AddSection(const char* name, ProfileSection** out, uint32_t length = String::AllCharacters);
};

// The text form of a profile document: the reader that parses profile text
// (the syntax is in profile_scan.h), and the writer's form of a document.
//
// The writer's form: each section as "[" name "]", each entry as key " = "
// value, every line ended by CR LF, and one empty line at the end. An empty
// document is a single CR LF.

// Adds the sections and entries of text to document. text holds length bytes;
// a NUL byte ends it earlier. Never reads text[length] or beyond.
// StatusOk; StatusBadFormat when the text ends inside a header, or right after
// a header or a stray line without a line end; StatusNoMemory when a section
// or entry cannot be added. Whatever was parsed before stays in the document.
Status ReadProfileText(ProfileDocument& document, const char* text, uint32_t length);

// Receives the writer's bytes in order; false stops the writer.
typedef bool (*ProfileTextSink)(void* context, const char* bytes, uint32_t count);

// Sends the writer's form of document to sink. StatusOk, or StatusIoError as
// soon as the sink refuses bytes.
Status WriteProfileText(const ProfileDocument& document, ProfileTextSink sink, void* context);

// The writer's form of document in out (replacing its text). StatusNoMemory
// when out cannot hold it.
Status ProfileTextOf(const ProfileDocument& document, String& out);

// Profile documents on files: the reader reads the whole file with one
// allocation and one read and parses it (ReadProfileText); the writer replaces
// the file with the document's text in one step, so that a failed write never
// loses the old file.

// Adds the sections and entries of the file at path to document. stream, when
// given, is read instead (it is opened when closed, and then closed again).
// StatusOpenFailed, the document unchanged, when the file cannot be opened; an
// empty file gives StatusOk. StatusNoMemory when the text cannot be held and
// StatusIoError when it cannot be read whole (the read fails or gives fewer
// bytes than the file's size, as from a stream already read in part), both
// with the document unchanged.
//
// Encodings: a leading UTF-8 byte-order mark is read past and noted in the
// document (utf8ByteOrderMark), so that WriteProfile keeps it. A file in
// UTF-16 (either byte-order mark) or with a NUL byte that has other bytes
// after it cannot be read as profile text: the parse would lose everything,
// or everything after the NUL. It gives StatusForeignText, the document
// unchanged. Otherwise the result of ReadProfileText; what was parsed stays.
Status ReadProfile(ProfileDocument& document, const FixedPath& path, FileStream* stream = nullptr);

// True when a read that gave status must not be followed by writing the file
// back: the document does not hold the whole file (StatusNoMemory,
// StatusIoError, StatusForeignText). A missing file (StatusOpenFailed) and a
// malformed end (StatusBadFormat) do not forbid it.
bool ReadForbidsRewrite(Status status);
// The same for a read of the file at path, where an existing file that could
// not be opened (in use by another program) also forbids it: only a missing
// file may be made from nothing.
bool ReadForbidsRewrite(Status status, const FixedPath& path);

// Replaces the file at path with the writer's form of document, after a UTF-8
// byte-order mark when the document was read with one. The text goes
// to a new file in the same folder, which reaches the disk before it takes the
// old file's place in one step; a read-only old file is replaced too. On any
// failure the old file stays exactly as it was, the new one is removed, and
// the result is StatusIoError.
Status WriteProfile(const ProfileDocument& document, const FixedPath& path);

// Edits the profile file at path in place of rewriting it: edit gets the
// file's text after its UTF-8 byte-order mark (profile_edit.h changes it and
// keeps every byte it does not change) and says whether it changed it; the
// file is then replaced, mark included, as WriteProfile replaces it. StatusOk
// when the file was replaced or edit changed nothing; the file is left as it
// was when it cannot be opened (StatusOpenFailed: missing, or held by another
// program), read whole (StatusNoMemory, StatusIoError, StatusForeignText), or
// written (StatusIoError).
Status EditProfileFile(const FixedPath& path, const std::function<bool(std::string&)>& edit);

// Single values of profile files: one key of one section, read without
// keeping the document.

// The value of key in the last section named section of document, copied
// with its terminator into out, which holds outSize bytes. A longer value is
// cut to outSize - 1 characters. False, out untouched, when the section or key
// is missing or outSize is 0; false with out the empty text when the value is
// empty.
bool CopyProfileValue(ProfileDocument& document, const char* section, const char* key, char* out,
                      uint32_t outSize);

// CopyProfileValue on the profile file at path; a missing or unreadable file
// reads as a document without sections.
bool GetProfileValue(const FixedPath& path, const char* section, const char* key, char* out,
                     uint32_t outSize);

// Changing one value of a profile file. Only a key that is already in the
// file is changed: nothing is ever added, so a file without the section or
// key, or no file at all, stays as it is.

// Sets the value of key in the last section named section of document to
// value. False, and the document unchanged, when the section or the key is
// missing or the value cannot be held.
bool ReplaceProfileValue(ProfileDocument& document, const char* section, const char* key,
                         const char* value);

// Sets the value of key in the last section named section of the profile
// file at path (the entry a reader returns) to value, changing only the bytes
// of that value (EditProfileFile): every other byte of the file stays. Without
// mayCreate a missing file is not tried; a missing file has no key to change
// either way. False when the file cannot be read whole, lacks the section or
// key, or cannot be written; the file is then as it was.
bool SetProfileValue(const FixedPath& path, const char* section, const char* key, const char* value,
                     bool mayCreate);
