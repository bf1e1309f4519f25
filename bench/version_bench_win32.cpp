// Reading the product versions of a component folder: ListFiles and
// ReadProductVersion over thousands of versioned libraries, beside the floor
// of the same number of bare version-library calls on the same files.
//
//   version_bench <library> <folder> [count] [rounds]
//
// Fills folder with count copies of library (once), then times, in each of
// the rounds, one pass of each kind in alternating order and prints the
// median and the fastest files per second of each and their ratios, and the
// time the listing alone takes. The library must carry a product version;
// every copy must read the same number, or the run fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/files/file_stream.h"
#include "foundation/files/folder_listing.h"
#include "foundation/files/product_version.h"
#include "version_floor_win32.h"

namespace {

std::string CopyName(const std::string& folder, int index) {
  char name[32];
  snprintf(name, sizeof name, "\\Component%05d.dll", index);
  return folder + name;
}

// One pass of the system's own reading: list the folder and, unless only
// the listing is measured, read each version.
int ListAndReadPass(const std::string& folder, uint32_t expected, int count, bool read = true) {
  FixedPath top;
  top.SetText(folder.c_str());
  FileList list;
  list.ListFiles(top, ".dll", FourCharacterCode("shlb"), false);
  int listed = 0;
  for (const PathNode* node = list.First(); node; node = node->next) {
    if (read && ReadProductVersion(node->path) != expected) return -1;
    ++listed;
  }
  return listed == count ? listed : -1;
}

}  // namespace

int main(int argc, char** argv) {
  BenchArguments arguments;
  if (!ReadBenchArguments("version_bench", argc, argv, arguments)) return 2;
  const std::string& library = arguments.library;
  const std::string& folder = arguments.folder;
  const int count = arguments.count, rounds = arguments.rounds;
  FixedPath libraryPath;
  libraryPath.SetText(library.c_str());
  uint32_t expected = ReadProductVersion(libraryPath);
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back(CopyName(folder, i));
  if (expected == 0 || count <= 0 || rounds <= 0 || !FillFolder(library, folder, paths)) {
    fprintf(stderr, "version_bench: no versioned library or the folder could not be filled\n");
    return 1;
  }

  // One pass of each first, so that both start with the files cached.
  if (FloorPass(paths) < 0 || ListAndReadPass(folder, expected, count) < 0) {
    fprintf(stderr, "version_bench: a copy did not read the library's version\n");
    return 1;
  }
  std::vector<double> floorRates, ownRates;
  if (!TimeAgainstFloor("version_bench", paths, rounds, [&] { return ListAndReadPass(folder, expected, count); },
                        floorRates, ownRates))
    return 1;
  std::vector<double> listingTimes;
  for (int round = 0; round < rounds; ++round) {
    double start = Seconds();
    if (ListAndReadPass(folder, expected, count, false) < 0) return 1;
    listingTimes.push_back(Seconds() - start);
  }
  double floorRate = Median(floorRates), ownRate = Median(ownRates);
  double floorBest = *std::max_element(floorRates.begin(), floorRates.end());
  double ownBest = *std::max_element(ownRates.begin(), ownRates.end());
  printf("files: %d, rounds: %d (median and fastest pass)\n", count, rounds);
  printf("floor (GetFileVersionInfoSizeA, GetFileVersionInfoA, 2 x VerQueryValueA): %.0f / %.0f files/s\n",
         floorRate, floorBest);
  printf("ListFiles + ReadProductVersion: %.0f / %.0f files/s\n", ownRate, ownBest);
  printf("time relative to the floor: %.2f / %.2f\n", floorRate / ownRate, floorBest / ownBest);
  printf("of which ListFiles alone: %.1f ms per pass (%.0f%% of the pass)\n", Median(listingTimes) * 1000,
         100 * Median(listingTimes) * ownRate / count);
  return 0;
}
