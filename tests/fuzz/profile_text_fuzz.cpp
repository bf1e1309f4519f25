// Fuzzes the profile reader, the program's main door for outside input. Each
// input is parsed from a heap block of exactly its size, so AddressSanitizer
// reports any read outside the text. The parsed document must then survive a
// round trip: its writer's form reads back as the same sections and entries
// (entries with empty values aside), and lookups find the last of each name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "foundation/profile_document.h"

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
  return 0;
}
