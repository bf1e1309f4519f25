// Fuzzes the update version list of the installed-components window: any
// bytes read as a profile document, its fragments collected and their lines
// made through the same code the window uses. The fragments must be exactly
// one per distinct "FragmentFileName" of the sections that hold both keys
// (the last entry of each key in a section counts), taken from the first such
// section, in byte order of the names; every line must be the name, " (",
// the version's four numbers, ")", the numbers those of the value read the
// way atoi reads it, reduced to 32 bits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "fuzzed_document.h"
#include "inventory/installed_components.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "update_version_list_fuzz: %s\n", what);
  abort();
}

// The plain reading of a "FragmentVersion_Win" value.
std::string PlainVersionText(const char* value) {
  const char* p = value;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  uint64_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) number = (number * 10 + static_cast<uint64_t>(*p - '0')) & 0xFFFFFFFFu;
  uint32_t bits = static_cast<uint32_t>(negative ? (0x100000000ull - number) & 0xFFFFFFFFu : number);
  char text[16];
  snprintf(text, sizeof text, "%u.%u.%u.%u", bits >> 24, (bits >> 16) & 0xFF, (bits >> 8) & 0xFF, bits & 0xFF);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProfileDocument document;
  if (!ReadFuzzedDocument(data, size, document)) return 0;

  // The plain answer: name -> version value of the first complete section.
  std::map<std::string, std::string> expected;
  for (int32_t i = 0; i < document.SectionCount(); ++i) {
    ProfileSection* section = nullptr;
    if (document.SectionAt(i, &section) != StatusOk) Fail("a section could not be reached");
    const char* name = nullptr;
    const char* version = nullptr;
    for (int32_t j = 0; j < section->EntryCount(); ++j) {
      ProfileEntry* entry = nullptr;
      if (section->EntryAt(j, &entry) != StatusOk) Fail("an entry could not be reached");
      if (strcmp(entry->Key(), FragmentFileNameKey) == 0) name = entry->Value();
      if (strcmp(entry->Key(), FragmentVersionKey) == 0) version = entry->Value();
    }
    if (name && version) expected.emplace(name, version);
  }

  TypedArray<Fragment> fragments;
  if (!CollectFragments(document, fragments)) Fail("no memory for the fragments");
  if (static_cast<size_t>(fragments.count) != expected.size()) Fail("not one fragment per distinct name");
  auto next = expected.begin();  // std::map orders its keys byte for byte, as strcmp
  String line;
  for (int32_t i = 0; i < fragments.count; ++i, ++next) {
    const char* name = fragments[i].fileName->Value();
    if (next->first != name) Fail("fragments out of order, or a wrong one");
    if (next->second != fragments[i].version->Value()) Fail("not the first section's version");
    if (!FragmentLine(fragments[i], line)) Fail("no memory for a line");
    if (std::string(line.TextOrEmpty()) != next->first + " (" + PlainVersionText(next->second.c_str()) + ")")
      Fail("a wrong line");
  }
  return 0;
}
