#include "version_floor_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "foundation/files/product_version.h"

namespace {

// Reads the product version string of one file the shortest way there is.
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

}  // namespace

bool ReadBenchArguments(const char* program, int argc, char** argv, BenchArguments& arguments) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s <library> <folder> [count] [rounds]\n", program);
    return false;
  }
  arguments.library = argv[1];
  arguments.folder = argv[2];
  if (argc > 3) arguments.count = atoi(argv[3]);
  if (argc > 4) arguments.rounds = atoi(argv[4]);
  return true;
}

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool FillFolder(const std::string& library, const std::string& folder, const std::vector<std::string>& copies) {
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const auto& copy : copies) {
    if (GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES && !CopyFileA(library.c_str(), copy.c_str(), TRUE))
      return false;
  }
  return true;
}

int FloorPass(const std::vector<std::string>& paths) {
  std::vector<char> block;
  int read = 0;
  for (const auto& path : paths) read += BareVersionCalls(path, block);
  return read == static_cast<int>(paths.size()) ? read : -1;
}

bool TimeAgainstFloor(const char* program, const std::vector<std::string>& paths, int rounds,
                      const std::function<int()>& ownPass, std::vector<double>& floorRates,
                      std::vector<double>& ownRates) {
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      bool floorTurn = (round + turn) % 2 == 0;
      double start = Seconds();
      int read = floorTurn ? FloorPass(paths) : ownPass();
      double elapsed = Seconds() - start;
      if (read < 0) {
        fprintf(stderr, "%s: wrong result in round %d\n", program, round + 1);
        return false;
      }
      (floorTurn ? floorRates : ownRates).push_back(read / elapsed);
    }
  }
  return true;
}
