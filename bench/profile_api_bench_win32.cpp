// Lookups in a profile file under Windows (Wine): every key through the
// program's ProfileDocument, and a spread sample of the keys through the
// profile API (GetPrivateProfileStringA), which is far slower. Run by
// scripts/bench-profile.sh on the file profile_bench generated.
//   profile_api_bench FILE [SAMPLE_EVERY]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/profile/profile_document.h"

#include "foundation/profile/profile_file.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: profile_api_bench FILE [SAMPLE_EVERY]\n");
    return 2;
  }
  const int sampleEvery = argc > 2 ? atoi(argv[2]) : 10;
  char fullPath[MAX_PATH];
  if (!GetFullPathNameA(argv[1], sizeof fullPath, fullPath, nullptr)) return 1;
  FixedPath path;
  path.SetText(fullPath);

  ProfileDocument document;
  double start = Now();
  if (ReadProfile(document, path) != StatusOk) {
    fprintf(stderr, "cannot read %s\n", fullPath);
    return 1;
  }
  const double readSeconds = Now() - start;

  std::vector<std::string> sections, keys;
  for (int32_t s = 0; s < document.SectionCount(); ++s) {
    const ProfileSection& section = document.sections[s];
    for (int32_t e = 0; e < section.EntryCount(); ++e) {
      sections.push_back(section.Name());
      keys.push_back(section.entries[e].Key());
    }
  }
  const size_t total = keys.size();

  // Every key through the document, several rounds for a measurable time.
  const int rounds = 20;
  size_t checksum = 0;
  start = Now();
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < total; ++i) {
      ProfileSection* section = nullptr;
      ProfileEntry* entry = nullptr;
      if (document.FindSection(sections[i].c_str(), &section, false) != StatusOk ||
          section->FindEntry(keys[i].c_str(), &entry, false) != StatusOk) {
        return 1;
      }
      checksum += entry->value.Length();
    }
  }
  const double documentRate = rounds * total / (Now() - start);

  // A spread sample through the profile API, after one call that loads the file.
  char value[256];
  GetPrivateProfileStringA(sections[0].c_str(), keys[0].c_str(), "", value, sizeof value, fullPath);
  size_t sampled = 0;
  start = Now();
  for (size_t i = 0; i < total; i += sampleEvery) {
    GetPrivateProfileStringA(sections[i].c_str(), keys[i].c_str(), "", value, sizeof value, fullPath);
    checksum += strlen(value);
    ++sampled;
  }
  const double apiRate = sampled / (Now() - start);

  printf("ReadProfile (file)                   %8.2f ms\n", readSeconds * 1e3);
  printf("ProfileDocument lookups              %12.0f lookups/s (every key, %d rounds)\n", documentRate, rounds);
  printf("GetPrivateProfileStringA lookups     %12.0f lookups/s (%zu keys, every %dth)\n", apiRate, sampled,
         sampleEvery);
  printf("document / profile API               %12.0f times faster\n", documentRate / apiRate);
  printf("(checksum %zu)\n", checksum);
  return 0;
}
