#include "foundation/profile_document.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/profile_scan.h"

const int32_t NameIndexBucketCounts[27] = {
    31,       61,       127,      251,       509,       1021,      2039,      4093,      8191,
    16381,    32749,    65521,    131071,    262139,    524287,    1048573,   2097143,   4194301,
    8388593,  16777213, 33554393, 67108859,  134217689, 268435399, 536870909, 1073741789, 2147483647};

namespace {

// The name a node stores for an empty String, which has no characters.
const char* const EmptyName = "";

const char* NameOrEmpty(const char* name) { return name ? name : EmptyName; }

// The first bucket count greater than current; 0 when there is none.
int32_t NextBucketCount(int32_t current) {
  for (int32_t candidate : NameIndexBucketCounts) {
    if (candidate > current) return candidate;
  }
  return 0;
}

}  // namespace

// A block's header; its nodes follow it directly.
struct alignas(NameIndexNode) NameNodePool::Block {
  Block* next;
  NameIndexNode* Nodes() { return reinterpret_cast<NameIndexNode*>(this + 1); }
};

NameNodePool::NameNodePool(int32_t nodesPerBlock)
    : blockNodes(nodesPerBlock < SmallestBlockNodes ? SmallestBlockNodes : nodesPerBlock) {}

NameNodePool::~NameNodePool() {
  while (blocks) {
    Block* next = blocks->next;
    std::free(blocks);
    blocks = next;
  }
}

NameIndexNode* NameNodePool::Take() {
  if (freeNodes) {
    NameIndexNode* node = freeNodes;
    freeNodes = node->next;
    return node;
  }
  if (!blocks || usedInNewest == blockNodes) {
    const size_t bytes = sizeof(Block) + sizeof(NameIndexNode) * static_cast<size_t>(blockNodes);
    Block* block = static_cast<Block*>(std::malloc(bytes));
    if (!block) return nullptr;
    block->next = blocks;
    blocks = block;
    usedInNewest = 0;
  }
  return blocks->Nodes() + usedInNewest++;
}

void NameNodePool::GiveBack(NameIndexNode* node) {
  node->next = freeNodes;
  freeNodes = node;
}

int32_t NameNodePool::BlockCount() const {
  int32_t n = 0;
  for (const Block* block = blocks; block; block = block->next) ++n;
  return n;
}

uint32_t HashName(const char* name) {
  uint32_t hash = 0;
  for (const char* p = NameOrEmpty(name); *p; ++p) {
    hash = hash * 33u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
  }
  return hash;
}

bool NameIndex::Find(const char* name, int32_t* position) const {
  if (buckets.count == 0) return false;
  name = NameOrEmpty(name);
  const uint32_t bucket = HashName(name) % static_cast<uint32_t>(buckets.count);
  for (const NameIndexNode* node = buckets[static_cast<int32_t>(bucket)]; node; node = node->next) {
    if (strcmp(node->name, name) == 0) {
      *position = node->position;
      return true;
    }
  }
  return false;
}

bool NameIndex::Resize(int32_t bucketCount) {
  // Grow the bucket block first, so that a failure leaves every chain intact.
  if (buckets.capacity < bucketCount && !buckets.ResizeBlock(bucketCount)) return false;
  NameIndexNode* all = nullptr;
  for (int32_t b = 0; b < buckets.count; ++b) {
    NameIndexNode* node = buckets[b];
    while (node) {
      NameIndexNode* next = node->next;
      node->next = all;
      all = node;
      node = next;
    }
  }
  for (int32_t b = 0; b < bucketCount; ++b) buckets[b] = nullptr;
  buckets.count = bucketCount;
  while (all) {
    NameIndexNode* next = all->next;
    const uint32_t bucket = HashName(all->name) % static_cast<uint32_t>(bucketCount);
    all->next = buckets[static_cast<int32_t>(bucket)];
    buckets[static_cast<int32_t>(bucket)] = all;
    all = next;
  }
  return true;
}

bool NameIndex::Insert(const char* name, int32_t position) {
  name = NameOrEmpty(name);
  if (int64_t{names} + 1 > int64_t{buckets.count} * 2) {
    const int32_t next = NextBucketCount(buckets.count);
    // Past the largest count the chains simply grow longer.
    if (next != 0 && !Resize(next)) return false;
  }
  const uint32_t bucket = HashName(name) % static_cast<uint32_t>(buckets.count);
  NameIndexNode*& head = buckets[static_cast<int32_t>(bucket)];
  for (NameIndexNode* node = head; node; node = node->next) {
    if (strcmp(node->name, name) == 0) {
      node->position = position;
      return true;
    }
  }
  NameIndexNode* node = pool.Take();
  if (!node) return false;
  node->name = name;
  node->position = position;
  node->next = head;
  head = node;
  ++names;
  return true;
}

void NameIndex::Empty() {
  for (int32_t b = 0; b < buckets.count; ++b) {
    NameIndexNode* node = buckets[b];
    while (node) {
      NameIndexNode* next = node->next;
      pool.GiveBack(node);
      node = next;
    }
  }
  buckets.count = 0;
  names = 0;
}

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


namespace {

// Builds the document from what the scan finds.
struct DocumentBuilder {
  ProfileDocument& document;
  ProfileSection* section = nullptr;

  Status Section(const ProfileSpan& name, uint32_t) {
    return document.AddSection(name.text, &section, name.length);
  }
  Status Entry(const ProfileSpan& key, const ProfileSpan& value, uint32_t) {
    ProfileEntry* entry = nullptr;
    Status status = section->AddEntry(key.text, &entry, key.length);
    if (status == StatusOk) status = entry->SetValue(value.text, value.length);
    return status;
  }
  void EntriesEnd(uint32_t) {}
};

}  // namespace

Status ReadProfileText(ProfileDocument& document, const char* text, uint32_t length) {
  DocumentBuilder builder{document};
  return ScanProfileText(text, length, builder);
}

namespace {

constexpr char LineBreak[] = "\r\n";
constexpr char EntrySeparator[] = " = ";

bool SendText(ProfileTextSink sink, void* context, const char* text, uint32_t count) {
  return count == 0 || sink(context, text, count);
}

bool SendString(ProfileTextSink sink, void* context, const String& text) {
  return SendText(sink, context, text.TextOrEmpty(), text.Length());
}

}  // namespace

Status WriteProfileText(const ProfileDocument& document, ProfileTextSink sink, void* context) {
  for (int32_t si = 0; si < document.sections.count; ++si) {
    const ProfileSection& section = document.sections[si];
    if (!SendText(sink, context, "[", 1) || !SendString(sink, context, section.name) ||
        !SendText(sink, context, "]\r\n", 3)) {
      return StatusIoError;
    }
    for (int32_t ei = 0; ei < section.entries.count; ++ei) {
      const ProfileEntry& entry = section.entries[ei];
      if (!SendString(sink, context, entry.key) ||
          !SendText(sink, context, EntrySeparator, sizeof EntrySeparator - 1) ||
          !SendString(sink, context, entry.value) ||
          !SendText(sink, context, LineBreak, sizeof LineBreak - 1)) {
        return StatusIoError;
      }
    }
  }
  return SendText(sink, context, LineBreak, sizeof LineBreak - 1) ? StatusOk : StatusIoError;
}

namespace {

struct TextCollector {
  String* out;
  uint32_t length;
};

bool CollectText(void* context, const char* bytes, uint32_t count) {
  TextCollector* collector = static_cast<TextCollector*>(context);
  if (count > String::CapacityMask - 1 - collector->length) return false;
  if (!collector->out->Put(bytes, count, collector->length)) return false;
  collector->length += count;
  return true;
}

}  // namespace

Status ProfileTextOf(const ProfileDocument& document, String& out) {
  if (!out.Put(nullptr, 0, 0)) return StatusNoMemory;
  TextCollector collector{&out, 0};
  return WriteProfileText(document, CollectText, &collector) == StatusOk ? StatusOk : StatusNoMemory;
}

bool CopyProfileValue(ProfileDocument& document, const char* section, const char* key, char* out,
                      uint32_t outSize) {
  if (outSize == 0) return false;
  ProfileSection* found = nullptr;
  if (document.FindSection(section, &found, false) != StatusOk) return false;
  ProfileEntry* entry = nullptr;
  if (found->FindEntry(key, &entry, false) != StatusOk) return false;
  uint32_t length = entry->value.Length();
  if (length == 0) {
    out[0] = '\0';
    return false;
  }
  if (length > outSize - 1) length = outSize - 1;
  memcpy(out, entry->value.Text(), length);
  out[length] = '\0';
  return true;
}

bool ReplaceProfileValue(ProfileDocument& document, const char* section, const char* key,
                         const char* value) {
  ProfileSection* found = nullptr;
  if (document.FindSection(section, &found, false) != StatusOk) return false;
  ProfileEntry* entry = nullptr;
  if (found->FindEntry(key, &entry, false) != StatusOk) return false;
  // Put into a copy first: a failed Put would leave the entry without its value.
  String copy;
  if (!copy.Assign(value)) return false;
  return entry->value.Swap(copy);
}
