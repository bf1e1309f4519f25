#include "support/profile_dump.h"

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
