#pragma once
// What the benchmarks of versioned libraries share: a folder of copies of one
// library, the floor of bare version-library calls on them, and the timing of
// the floor and the system's own pass in alternating order.

#include <functional>
#include <string>
#include <vector>

// The command line of these benchmarks:
//   <program> <library> <folder> [count] [rounds]
struct BenchArguments {
  std::string library;
  std::string folder;
  int count = 5000;
  int rounds = 7;
};
// False, with the usage printed, when the library or the folder is missing.
bool ReadBenchArguments(const char* program, int argc, char** argv, BenchArguments& arguments);

double Seconds();
double Median(std::vector<double> values);

// Makes folder and copies library to each of copies (full paths in folder)
// that is not there yet, so that a folder is filled once and reused.
bool FillFolder(const std::string& library, const std::string& folder, const std::vector<std::string>& copies);

// One pass of the floor, what reading one product version costs at the least,
// over paths; the files read, or -1 when one could not be read.
int FloorPass(const std::vector<std::string>& paths);

// Times rounds of one floor pass and one pass of ownPass (the files it read,
// or -1 on a wrong result), the one or the other first by turns, and adds
// the files per second of each to floorRates and ownRates. False, with the
// round reported under the program's name, on a wrong result.
bool TimeAgainstFloor(const char* program, const std::vector<std::string>& paths, int rounds,
                      const std::function<int()>& ownPass, std::vector<double>& floorRates,
                      std::vector<double>& ownRates);
