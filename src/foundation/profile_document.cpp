#include "foundation/profile_document.h"

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
  *out = nullptr;
  int32_t position = 0;
  if (entryIndex.Find(key, &position)) {
    *out = &entries[position];
    return StatusOk;
  }
  return create ? AddEntry(key, out) : StatusNotFound;
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
}

Status ProfileDocument::SectionAt(int32_t position, ProfileSection** out) {
  if (position < 0 || position >= sections.count) return StatusNotFound;
  *out = &sections[position];
  return StatusOk;
}

Status ProfileDocument::FindSection(const char* name, ProfileSection** out, bool create) {
  *out = nullptr;
  int32_t position = 0;
  if (sectionIndex.Find(name, &position)) {
    *out = &sections[position];
    return StatusOk;
  }
  return create ? AddSection(name, out) : StatusNotFound;
}

Status ProfileDocument::AddSection(const char* name, ProfileSection** out, uint32_t length) {
  return AppendIndexed(sections, sectionIndex, &ProfileSection::name, name, length, out);
}
