// Verifying a component folder against a version list ("-v"):
// InventoryComponents over thousands of versioned libraries and a list that
// names every one of them, beside the floor of the same number of bare
// version-library calls on the same files.
//
//   verify_bench <library> <folder> [count] [rounds]
//
// Fills folder with count copies of library (once) and writes the list
// beside it, then times, in each of the rounds, one pass of each kind in
// alternating order and prints the median files per second of each and
// their ratio, and the rate of the collection alone. Every pass must verify
// (code 0) and read every version, or the run fails.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/core/paths.h"
#include "foundation/files/product_version.h"
#include "inventory/component_inventory.h"
#include "version_floor_win32.h"

namespace {

// The list names each library without its extension, as the player's lists do.
std::string LibraryName(int index) {
  char name[32];
  snprintf(name, sizeof name, "QFXComponent%05d", index);
  return name;
}

std::string CopyName(const std::string& folder, int index) { return folder + "\\" + LibraryName(index) + ".dll"; }

bool WriteList(const std::string& path, const std::string& version, int count) {
  std::string text = "[DLL_Versions]\r\n";
  for (int i = 0; i < count; ++i) text += "DLL = " + LibraryName(i) + "\r\nVersion = " + version + "\r\n";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(file);
  return ok;
}

// One pass of "-v": collect the component files and verify every pair.
int VerifyPass(const FixedPath& folder, const FixedPath& list, int count) {
  if (InventoryComponents(folder, &list) != 0 || ComponentFiles.count != count) return -1;
  return count;
}

// One pass of the collection alone, for the split of the time.
int CollectPass(const FixedPath& folder, int count) {
  InventoryComponents(folder, nullptr);
  return ComponentFiles.count == count ? count : -1;
}

}  // namespace

int main(int argc, char** argv) {
  BenchArguments arguments;
  if (!ReadBenchArguments("verify_bench", argc, argv, arguments)) return 2;
  const std::string& library = arguments.library;
  const std::string& folder = arguments.folder;
  const int count = arguments.count, rounds = arguments.rounds;
  FixedPath libraryPath;
  libraryPath.SetText(library.c_str());
  char version[ProductVersionTextBytes] = "";
  std::string listFile = folder + ".txt";
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back(CopyName(folder, i));
  if (!FormatProductVersion(libraryPath, version) || count <= 0 || rounds <= 0 ||
      !FillFolder(library, folder, paths) || !WriteList(listFile, version, count)) {
    fprintf(stderr, "verify_bench: no versioned library, or the folder or list could not be written\n");
    return 1;
  }
  FixedPath folderPath, listPath;
  folderPath.SetText(folder.c_str());
  listPath.SetText(listFile.c_str());

  // One pass of each first, so that both start with the files cached.
  if (FloorPass(paths) < 0 || VerifyPass(folderPath, listPath, count) < 0) {
    fprintf(stderr, "verify_bench: the folder did not verify against its list\n");
    return 1;
  }
  std::vector<double> floorRates, ownRates;
  if (!TimeAgainstFloor("verify_bench", paths, rounds, [&] { return VerifyPass(folderPath, listPath, count); },
                        floorRates, ownRates))
    return 1;
  std::vector<double> collectRates;
  for (int round = 0; round < rounds; ++round) {
    double start = Seconds();
    int read = CollectPass(folderPath, count);
    double elapsed = Seconds() - start;
    if (read < 0) {
      fprintf(stderr, "verify_bench: the collection missed files\n");
      return 1;
    }
    collectRates.push_back(read / elapsed);
  }
  double floorRate = Median(floorRates), ownRate = Median(ownRates), collectRate = Median(collectRates);
  printf("files: %d, rounds: %d\n", count, rounds);
  printf("floor (GetFileVersionInfoSizeA, GetFileVersionInfoA, 2 x VerQueryValueA): %.0f files/s\n", floorRate);
  printf("InventoryComponents with a version list of every file: %.0f files/s\n", ownRate);
  printf("  of which collecting the files (no list): %.0f files/s\n", collectRate);
  printf("time relative to the floor: %.2f\n", floorRate / ownRate);
  return 0;
}
