#pragma once
// Profile documents: the INI-like files of the player and of the program,
// read into sections of keys and values, looked up through a name index.

#include <cstdint>
#include <type_traits>

#include "foundation/core/status.h"
#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"
#include "foundation/profile/name_index.h"

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
// The text form is in profile_text.h, files in profile_file.h, single values
// in profile_values.h.

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
