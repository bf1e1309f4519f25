// Fuzzes the profile reader, the program's main door for outside input. Each
// input is parsed from a heap block of exactly its size, so AddressSanitizer
// reports any read outside the text. The parsed document must then survive a
// round trip: its writer's form reads back as the same sections and entries
// (entries with empty values aside), and lookups find the last of each name.
// Then each edit of the text (profile_edit) is made on it: reading the edited
// text gives the same entries but for the edited one, and every byte the edit
// did not change is still there, in order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_edit.h"
#include "foundation/profile/profile_text.h"
#include "foundation/profile/profile_values.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "profile_text_fuzz: %s\n", what);
  abort();
}

bool SameText(const String& a, const String& b) { return strcmp(a.TextOrEmpty(), b.TextOrEmpty()) == 0; }

// The reread document must hold the sections of the original in order, each
// with the original's entries that have a value.
void CheckSameDocument(const ProfileDocument& original, const ProfileDocument& reread) {
  if (original.sections.count != reread.sections.count) Fail("section count differs after the round trip");
  for (int32_t s = 0; s < original.sections.count; ++s) {
    const ProfileSection& a = original.sections[s];
    const ProfileSection& b = reread.sections[s];
    if (!SameText(a.name, b.name)) Fail("section name differs after the round trip");
    int32_t e = 0;
    for (int32_t i = 0; i < a.entries.count; ++i) {
      if (a.entries[i].value.Length() == 0) continue;
      if (e >= b.entries.count) Fail("entry missing after the round trip");
      if (!SameText(a.entries[i].key, b.entries[e].key)) Fail("key differs after the round trip");
      if (!SameText(a.entries[i].value, b.entries[e].value)) Fail("value differs after the round trip");
      ++e;
    }
    if (e != b.entries.count) Fail("extra entry after the round trip");
  }
}

// Every name finds the last section (and in it the last entry) of that name.
void CheckLookups(ProfileDocument& document) {
  std::map<std::string, int32_t> lastSection;
  for (int32_t s = 0; s < document.sections.count; ++s) lastSection[document.sections[s].Name()] = s;
  for (const auto& named : lastSection) {
    ProfileSection* found = nullptr;
    if (document.FindSection(named.first.c_str(), &found, false) != StatusOk) Fail("section not found");
    if (found != &document.sections[named.second]) Fail("lookup did not find the last section");
    std::map<std::string, int32_t> lastEntry;
    for (int32_t e = 0; e < found->entries.count; ++e) lastEntry[found->entries[e].Key()] = e;
    for (const auto& key : lastEntry) {
      ProfileEntry* entry = nullptr;
      if (found->FindEntry(key.first.c_str(), &entry, false) != StatusOk) Fail("entry not found");
      if (entry != &found->entries[key.second]) Fail("lookup did not find the last entry");
    }
  }
}

// Every entry a reader finds, as section, key and value, in text order.
struct Entry {
  std::string section, key, value;
  bool operator==(const Entry& other) const {
    return section == other.section && key == other.key && value == other.value;
  }
};
std::vector<Entry> EntriesOf(const std::string& text) {
  ProfileDocument document;
  ReadProfileText(document, text.data(), static_cast<uint32_t>(text.size()));
  std::vector<Entry> entries;
  for (int32_t s = 0; s < document.sections.count; ++s) {
    const ProfileSection& section = document.sections[s];
    for (int32_t e = 0; e < section.entries.count; ++e)
      entries.push_back({section.Name(), section.entries[e].Key(), section.entries[e].Value()});
  }
  return entries;
}

// The edited text is the original with one run of bytes replaced: the bytes
// before and after it are the original's, in order.
void CheckOneRunChanged(const std::string& original, const std::string& edited, size_t removed, size_t added) {
  if (edited.size() + removed != original.size() + added) Fail("an edit changed more than its run of bytes");
  size_t prefix = 0;
  while (prefix < original.size() && prefix < edited.size() && original[prefix] == edited[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < original.size() - std::min(prefix, original.size()) && suffix < edited.size() - prefix &&
         original[original.size() - 1 - suffix] == edited[edited.size() - 1 - suffix])
    ++suffix;
  if (prefix + suffix + removed < original.size()) Fail("an edit changed bytes outside its run");
}

// The position among all of document's entries (EntriesOf) of the entry a
// lookup of section and key finds, the last entry of key in the last section
// named section; -1 when there is none.
int FoundEntry(const ProfileDocument& document, const std::string& section, const std::string& key) {
  int lastSection = -1;
  for (int32_t s = 0; s < document.sections.count; ++s)
    if (section == document.sections[s].Name()) lastSection = s;
  if (lastSection < 0) return -1;
  int position = 0;
  for (int32_t s = 0; s < lastSection; ++s) position += document.sections[s].entries.count;
  int found = -1;
  const ProfileSection& last = document.sections[lastSection];
  for (int32_t e = 0; e < last.entries.count; ++e)
    if (key == last.entries[e].Key()) found = position + e;
  return found;
}

void CheckEdits(const std::string& text, const ProfileDocument& document, size_t choice) {
  if (document.sections.count == 0) return;
  const ProfileSection& chosen = document.sections[static_cast<int32_t>(choice % document.sections.count)];
  const std::string section = chosen.Name();
  const std::vector<Entry> before = EntriesOf(text);

  // Adding a key: the same entries and one more, which a lookup finds.
  {
    std::string edited = text;
    const std::string key = "FuzzKey" + std::to_string(choice % 7);
    AddProfileTextValue(edited, section.c_str(), key.c_str(), "added");
    std::vector<Entry> after = EntriesOf(edited);
    if (after.size() != before.size() + 1) Fail("an added key is not read as one more entry");
    ProfileDocument reread;
    ReadProfileText(reread, edited.data(), static_cast<uint32_t>(edited.size()));
    char value[16];
    if (!CopyProfileValue(reread, section.c_str(), key.c_str(), value, sizeof value) || strcmp(value, "added") != 0)
      Fail("an added key is not the one a lookup finds");
    int added = FoundEntry(reread, section, key);
    if (added < 0) Fail("an added key is missing");
    after.erase(after.begin() + added);
    if (!(after == before)) Fail("adding a key changed other entries");
  }

  // Setting the value of an entry of the chosen section's name.
  ProfileDocument original;
  ReadProfileText(original, text.data(), static_cast<uint32_t>(text.size()));
  ProfileSection* last = nullptr;
  original.FindSection(section.c_str(), &last, false);
  if (!last || last->entries.count == 0) return;
  const ProfileEntry& target = last->entries[static_cast<int32_t>(choice % last->entries.count)];
  const std::string key = target.Key();
  const int index = FoundEntry(original, section, key);
  const std::string oldValue = before[index].value;
  {
    std::string edited = text;
    if (!SetProfileTextValue(edited, section.c_str(), key.c_str(), "set")) Fail("a present key was not set");
    CheckOneRunChanged(text, edited, oldValue.size(), 3);
    std::vector<Entry> after = EntriesOf(edited);
    if (after.size() != before.size()) Fail("setting a value changed the number of entries");
    for (size_t i = 0; i < after.size(); ++i) {
      if (static_cast<int>(i) == index) {
        if (after[i].value != "set" || after[i].key != key) Fail("the set value is not read back");
      } else if (!(after[i] == before[i])) {
        Fail("setting a value changed another entry");
      }
    }
  }

  // Removing the entries of that key and value from the section: they alone go.
  {
    std::string edited = text;
    const int removed = RemoveProfileTextValues(edited, section.c_str(), key.c_str(), oldValue.c_str());
    if (removed < 1) Fail("a present entry was not removed");
    std::vector<Entry> after = EntriesOf(edited);
    if (after.size() + static_cast<size_t>(removed) != before.size()) Fail("removing changed other entries");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24)) return 0;
  std::unique_ptr<char[]> text(new char[size ? size : 1]);
  if (size) memcpy(text.get(), data, size);

  ProfileDocument document;
  const Status status = ReadProfileText(document, text.get(), static_cast<uint32_t>(size));
  if (status != StatusOk && status != StatusBadFormat) Fail("unexpected status");
  CheckLookups(document);

  String written;
  if (ProfileTextOf(document, written) != StatusOk) Fail("writer failed");
  ProfileDocument reread;
  if (ReadProfileText(reread, written.Text(), written.Length()) != StatusOk) Fail("written text does not parse cleanly");
  CheckSameDocument(document, reread);

  // The reader keeps no empty values, so the reread document writes the same bytes.
  String rewritten;
  if (ProfileTextOf(reread, rewritten) != StatusOk) Fail("writer failed on the reread document");
  if (!SameText(written, rewritten)) Fail("writer's form is not stable");

  CheckEdits(std::string(text.get(), size), document, size);
  return 0;
}
