#include "foundation/profile/profile_document.h"


#include <cstring>
#include <new>

namespace {

// Appends a record named by the first length characters of name and indexes
// it under that name; on any failure nothing stays and out is none.
template <typename Record>
Status AppendIndexed(TypedArray<Record>& records, NameIndex& index, String Record::*nameField,
                     const char* name, uint32_t length, Record** out) {
  *out = nullptr;
  const bool added = records.Append([&](void* slot) {
    Record* record = new (slot) Record();
    if ((record->*nameField).Put(name, length, 0)) return true;
    record->~Record();
    return false;
  });
  if (!added) return StatusNoMemory;
  const int32_t position = records.count - 1;
  if (!index.Insert((records[position].*nameField).Text(), position)) {
    records.RemoveLast();
    return StatusNoMemory;
  }
  *out = &records[position];
  return StatusOk;
}

// The record last indexed under name; not found, with create, a new one is
// appended, otherwise StatusNotFound and out none.
template <typename Record>
Status FindIndexed(TypedArray<Record>& records, NameIndex& index, String Record::*nameField, const char* name,
                   Record** out, bool create) {
  *out = nullptr;
  int32_t position = 0;
  if (index.Find(name, &position)) {
    *out = &records[position];
    return StatusOk;
  }
  return create ? AppendIndexed(records, index, nameField, name, String::AllCharacters, out) : StatusNotFound;
}

}  // namespace

Status ProfileEntry::SetValue(const char* text, uint32_t count) {
  return value.Put(text, count, 0) ? StatusOk : StatusNoMemory;
}

Status ProfileSection::EntryAt(int32_t position, ProfileEntry** out) {
  *out = nullptr;
  if (position < 0 || position >= entries.count) return StatusNotFound;
  *out = &entries[position];
  return StatusOk;
}

Status ProfileSection::FindEntry(const char* key, ProfileEntry** out, bool create) {
  return FindIndexed(entries, entryIndex, &ProfileEntry::key, key, out, create);
}

Status ProfileSection::AddEntry(const char* key, ProfileEntry** out, uint32_t length) {
  return AppendIndexed(entries, entryIndex, &ProfileEntry::key, key, length, out);
}

void ProfileSection::ClearEntries() {
  entries.ClearArray();
  entryIndex.Empty();
}

void ProfileDocument::ClearDocument() {
  sections.ClearArray();
  sectionIndex.Empty();
  utf8ByteOrderMark = false;
}

Status ProfileDocument::SectionAt(int32_t position, ProfileSection** out) {
  if (position < 0 || position >= sections.count) return StatusNotFound;
  *out = &sections[position];
  return StatusOk;
}

Status ProfileDocument::FindSection(const char* name, ProfileSection** out, bool create) {
  return FindIndexed(sections, sectionIndex, &ProfileSection::name, name, out, create);
}

Status ProfileDocument::AddSection(const char* name, ProfileSection** out, uint32_t length) {
  return AppendIndexed(sections, sectionIndex, &ProfileSection::name, name, length, out);
}
