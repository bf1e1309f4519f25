#include "inventory/component_inventory.h"

#include <cstring>
#include <new>

#include "foundation/folder_listing.h"
#include "foundation/paths.h"
#include "foundation/product_version.h"
#include "foundation/strings.h"

// Constant-initialised (no block, count 0), so it is usable before any
// constructor of the program runs; its destructor frees the block at exit.
TypedArray<FixedPath> ComponentFiles;

namespace {

constexpr const char* PluginLibraryPrefix = "NpQuillframe3";
constexpr const char* JavaClassPrefix = "Quillframe3.class";
constexpr const char* RuntimePrefix = "QFX3 runtime";

}  // namespace

bool IsPlayerPluginFileName(const char* fileName) {
  if (!fileName) return false;
  if (StartsWithIgnoringCase(fileName, PluginLibraryPrefix) &&
      StartsWithIgnoringCase(FileExtension(fileName), SharedLibraryExtension))
    return true;
  return StartsWithIgnoringCase(fileName, JavaClassPrefix) || StartsWithIgnoringCase(fileName, RuntimePrefix);
}

namespace {

// The pairs of neighbouring characters of a text, each hashed to one of 64
// bits. A text contains another only when its pairs include all of the
// other's, so one test of the bits passes over most names that cannot match.
uint64_t CharacterPairBits(const char* text, uint32_t length) {
  uint64_t bits = 0;
  for (uint32_t i = 1; i < length; ++i) {
    uint32_t pair = static_cast<uint8_t>(text[i - 1]) * 31u + static_cast<uint8_t>(text[i]);
    bits |= uint64_t{1} << (pair % 64);
  }
  return bits;
}

// What the check needs of one file: its name and, once read, its version.
struct FileFacts {
  const char* name;  // within the path; "" when the path has no file name
  uint32_t nameLength;
  uint64_t namePairs;
  uint32_t version;
  bool versionRead;
};

FileFacts FactsOf(const FixedPath& file) {
  const char* name = file.FileNamePart();
  if (!name) name = "";
  uint32_t length = static_cast<uint32_t>(strlen(name));
  return FileFacts{name, length, CharacterPairBits(name, length), 0, false};
}

// The facts of every file, learnt once: a long list checks every file's name
// for every pair, and reading a version resource costs far more than
// comparing names. Without memory for the table each test learns afresh.
class FileFactsTable {
 public:
  FileFactsTable(const TypedArray<FixedPath>& files, ProductVersionReader readVersion, bool remember)
      : files_(files), readVersion_(readVersion), remembered_(false) {
    if (!remember || files.count == 0 || !facts_.Grow(files.count)) return;
    for (int32_t i = 0; i < files.count; ++i) {
      facts_.Append([&](void* slot) {
        new (slot) FileFacts(FactsOf(files[i]));
        return true;
      });
    }
    remembered_ = true;
  }

  // The facts of file i; when nothing is remembered, valid until the next call.
  FileFacts& At(int32_t i) {
    if (remembered_) return facts_[i];
    scratch_ = FactsOf(files_[i]);
    return scratch_;
  }

  uint32_t VersionOf(int32_t i, FileFacts& facts) {
    if (!facts.versionRead) {
      facts.version = readVersion_(files_[i]);
      facts.versionRead = true;
    }
    return facts.version;
  }

 private:
  const TypedArray<FixedPath>& files_;
  ProductVersionReader readVersion_;
  TypedArray<FileFacts> facts_;
  FileFacts scratch_{};
  bool remembered_;
};

bool VersionTextIs(uint32_t version, const char* wanted) {
  char text[ProductVersionTextBytes] = "";
  if (!AppendProductVersionText(version, text)) return strcmp(NoVersionText, wanted) == 0;
  return strcmp(text, wanted) == 0;
}

}  // namespace

void CollectVersionPairs(ProfileDocument& document, VersionPairs& pairs) {
  ProfileSection* section = nullptr;
  if (document.FindSection(VersionListSectionName, &section, false) != StatusOk) return;
  for (int32_t i = 0; i < section->EntryCount(); ++i) {
    ProfileEntry* entry = nullptr;
    if (section->EntryAt(i, &entry) != StatusOk) continue;
    if (strcmp(entry->Key(), LibraryVersionKey) == 0) {
      AppendTextCopy(pairs.versions, entry->value.Text());
    } else if (strcmp(entry->Key(), LibraryNameKey) == 0) {
      AppendTextCopy(pairs.names, entry->value.Text());
    }
  }
}

bool ContainsText(const char* text, uint32_t textLength, const char* part, uint32_t partLength) {
  if (partLength == 0) return true;
  if (partLength > textLength) return false;
  const char* last = text + (textLength - partLength);
  for (const char* p = text; p <= last; ++p) {
    p = static_cast<const char*>(memchr(p, part[0], static_cast<size_t>(last - p) + 1));
    if (!p) return false;
    if (memcmp(p + 1, part + 1, partLength - 1) == 0) return true;
  }
  return false;
}

int32_t FindUnsatisfiedPair(const VersionPairs& pairs, const TypedArray<FixedPath>& files,
                            ProductVersionReader readVersion, bool rememberFiles) {
  FileFactsTable table(files, readVersion, rememberFiles);
  const int32_t count = pairs.Count();
  for (int32_t pair = 0; pair < count; ++pair) {
    const char* name = pairs.names[pair].TextOrEmpty();
    const uint32_t nameLength = pairs.names[pair].Length();
    const uint64_t namePairs = CharacterPairBits(name, nameLength);
    const char* version = pairs.versions[pair].TextOrEmpty();
    bool satisfied = false;
    for (int32_t i = 0; i < files.count && !satisfied; ++i) {
      FileFacts& facts = table.At(i);
      satisfied = (namePairs & ~facts.namePairs) == 0 &&
                  ContainsText(facts.name, facts.nameLength, name, nameLength) &&
                  VersionTextIs(table.VersionOf(i, facts), version);
    }
    if (!satisfied) return pair + 1;
  }
  return EveryComponentVerified;
}

int32_t VerifyVersionDocument(ProfileDocument& document, const TypedArray<FixedPath>& files,
                              ProductVersionReader readVersion) {
  VersionPairs pairs;
  CollectVersionPairs(document, pairs);
  if (pairs.Count() == 0) return VersionListUnusable;
  return FindUnsatisfiedPair(pairs, files, readVersion);
}
