#include "support/profile_dump.h"

#include <gtest/gtest.h>

#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_text.h"

namespace {

std::string Dump(const ProfileDocument& document, bool withEmptyValues) {
  std::string dump;
  for (int32_t s = 0; s < document.sections.count; ++s) {
    const ProfileSection& section = document.sections[s];
    dump += "[" + std::string(section.Name()) + "]";
    for (int32_t e = 0; e < section.entries.count; ++e) {
      const ProfileEntry& entry = section.entries[e];
      if (!withEmptyValues && entry.value.Length() == 0) continue;
      dump += "<" + std::string(entry.Key()) + "=" + entry.Value() + ">";
    }
  }
  return dump;
}

}  // namespace

std::string DumpProfile(const ProfileDocument& document) { return Dump(document, true); }

std::string DumpProfileWithoutEmptyValues(const ProfileDocument& document) {
  return Dump(document, false);
}

void LoadProfile(ProfileDocument& document, const std::string& text) {
  document.ClearDocument();
  ASSERT_EQ(ReadProfileText(document, text.data(), static_cast<uint32_t>(text.size())), StatusOk) << text;
}

Status AddProfileEntry(ProfileDocument& document, const char* section, const char* key, const char* value,
                       ProfileEntry** out) {
  ProfileSection* found = nullptr;
  ProfileEntry* entry = nullptr;
  Status status = document.FindSection(section, &found, true);
  if (status == StatusOk) status = found->AddEntry(key, &entry);
  if (status == StatusOk && value) status = entry->SetValue(value);
  if (out) *out = entry;
  return status;
}

std::string WrittenProfileText(const ProfileDocument& document) {
  String text;
  EXPECT_EQ(ProfileTextOf(document, text), StatusOk);
  return text.TextOrEmpty();
}
