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
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/file_list.h"
#include "foundation/file_stream.h"
#include "foundation/product_version.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string CopyName(const std::string& folder, int index) {
  char name[32];
  snprintf(name, sizeof name, "\\Component%05d.dll", index);
  return folder + name;
}

bool FillFolder(const std::string& library, const std::string& folder, int count) {
  CreateDirectoryA(folder.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    std::string copy = CopyName(folder, i);
    if (GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES && !CopyFileA(library.c_str(), copy.c_str(), TRUE))
      return false;
  }
  return true;
}

// The floor: what reading one product version costs at the least.
uint32_t BareVersionCalls(const std::string& path, std::vector<char>& block) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return 0;
  block.resize(size + 1);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return 0;
  void* table = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table, &length) || length < 4) return 0;
  char subBlock[ProductVersionSubBlockBytes];
  const WORD* pair = static_cast<const WORD*>(table);
  ProductVersionSubBlock(pair[0], pair[1], subBlock);
  void* text = nullptr;
  return VerQueryValueA(block.data(), subBlock, &text, &length) && text ? 1 : 0;
}

// One pass of the floor; returns the files read, or -1 on a wrong result.
int FloorPass(const std::vector<std::string>& paths) {
  std::vector<char> block;
  int read = 0;
  for (const auto& path : paths) read += BareVersionCalls(path, block);
  return read == static_cast<int>(paths.size()) ? read : -1;
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: version_bench <library> <folder> [count] [rounds]\n");
    return 2;
  }
  std::string library = argv[1], folder = argv[2];
  int count = argc > 3 ? atoi(argv[3]) : 5000;
  int rounds = argc > 4 ? atoi(argv[4]) : 7;
  FixedPath libraryPath;
  libraryPath.SetText(library.c_str());
  uint32_t expected = ReadProductVersion(libraryPath);
  if (expected == 0 || count <= 0 || rounds <= 0 || !FillFolder(library, folder, count)) {
    fprintf(stderr, "version_bench: no versioned library or the folder could not be filled\n");
    return 1;
  }
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back(CopyName(folder, i));

  // One pass of each first, so that both start with the files cached.
  if (FloorPass(paths) < 0 || ListAndReadPass(folder, expected, count) < 0) {
    fprintf(stderr, "version_bench: a copy did not read the library's version\n");
    return 1;
  }
  std::vector<double> floorRates, ownRates;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      bool floorTurn = (round + turn) % 2 == 0;
      double start = Seconds();
      int read = floorTurn ? FloorPass(paths) : ListAndReadPass(folder, expected, count);
      double elapsed = Seconds() - start;
      if (read < 0) {
        fprintf(stderr, "version_bench: wrong result in round %d\n", round + 1);
        return 1;
      }
      (floorTurn ? floorRates : ownRates).push_back(read / elapsed);
    }
  }
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
