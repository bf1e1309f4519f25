#include "inventory/component_inventory.h"

#include <cstring>
#include <new>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/files/folder_listing.h"
#include "foundation/files/product_version.h"

// Constant-initialised (no block, count 0), so it is usable before any
// constructor of the program runs; its destructor frees the block at exit.
TypedArray<FixedPath> ComponentFiles;
std::vector<std::string> ComponentFilesLeftOut;

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

FileFacts FactsOf(const FixedPath& file) {
  const char* name = file.FileNamePart();
  if (!name) name = file.Text() + file.Length();
  uint32_t length = static_cast<uint32_t>(strlen(name));
  return FileFacts{static_cast<uint32_t>(name - file.Text()), length, CharacterPairBits(name, length), 0, false};
}

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

PairCheck::PairCheck(const VersionPairs& pairs, const TypedArray<FixedPath>& files, ProductVersionReader readVersion,
                     bool rememberFiles)
    : pairs_(pairs), files_(files), readVersion_(readVersion), remembered_(rememberFiles) {}

// A long list checks every file's name for every pair, and reading a version
// resource costs far more than comparing names: the facts of each file are
// learnt once. Without memory for them each test learns afresh, from then on.
void PairCheck::LearnNewFiles() {
  if (!remembered_ || facts_.count == files_.count) return;
  if (!facts_.Grow(files_.count)) {
    remembered_ = false;
    return;
  }
  for (int32_t i = facts_.count; i < files_.count; ++i) {
    facts_.Append([&](void* slot) {
      new (slot) FileFacts(FactsOf(files_[i]));
      return true;
    });
  }
}

FileFacts& PairCheck::FactsAt(int32_t i) {
  if (remembered_) return facts_[i];
  scratch_ = FactsOf(files_[i]);
  return scratch_;
}

uint32_t PairCheck::VersionOf(int32_t i, FileFacts& facts) {
  if (!facts.versionRead) {
    facts.version = readVersion_(files_[i]);
    facts.versionRead = true;
  }
  return facts.version;
}

int32_t PairCheck::Check() {
  LearnNewFiles();
  const int32_t count = pairs_.Count();
  for (; pair_ < count; ++pair_, file_ = 0) {
    const char* name = pairs_.names[pair_].TextOrEmpty();
    const uint32_t nameLength = pairs_.names[pair_].Length();
    const uint64_t namePairs = CharacterPairBits(name, nameLength);
    const char* version = pairs_.versions[pair_].TextOrEmpty();
    for (; file_ < files_.count; ++file_) {
      FileFacts& facts = FactsAt(file_);
      if ((namePairs & ~facts.namePairs) == 0 &&
          ContainsText(files_[file_].Text() + facts.nameStart, facts.nameLength, name, nameLength) &&
          VersionTextIs(VersionOf(file_, facts), version))
        break;
    }
    // The next check goes on from here, with the files added by then.
    if (file_ == files_.count) return pair_ + 1;
  }
  return EveryComponentVerified;
}

int32_t FindUnsatisfiedPair(const VersionPairs& pairs, const TypedArray<FixedPath>& files,
                            ProductVersionReader readVersion, bool rememberFiles) {
  return PairCheck(pairs, files, readVersion, rememberFiles).Check();
}

namespace {

// More files never undo a satisfied pair: once every pair is, the code is 0.
bool EveryPairSatisfied(void* check) { return static_cast<PairCheck*>(check)->Check() == EveryComponentVerified; }

}  // namespace

int32_t VerifyVersionDocument(ProfileDocument& document, const TypedArray<FixedPath>& files,
                              ProductVersionReader readVersion, FileCollector collect, void* context) {
  VersionPairs pairs;
  CollectVersionPairs(document, pairs);
  if (pairs.Count() == 0) return VersionListUnusable;
  PairCheck check(pairs, files, readVersion);
  if (collect) collect(context, EveryPairSatisfied, &check);
  return check.Check();
}
