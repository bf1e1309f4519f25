// Fuzzes the version list of "-v": any bytes read as a profile document and
// checked, through the same code the program uses, against a set of files.
// The files are named after the first "DLL" values of the list (so that
// names match and versions get compared) plus two fixed ones, and their
// versions come from a table. The code must be -3 exactly when the list
// gives no pairs, else 0 or a pair number; it must equal the code of a plain
// check written here, and the code the check gives when it remembers nothing;
// no file's version may be read twice. The same holds when the check gets
// the files step by step, as "-v" collects them; only a satisfied list may
// end the collection early.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/files/product_version.h"
#include "fuzzed_document.h"
#include "inventory/component_inventory.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "version_list_fuzz: %s\n", what);
  abort();
}

// Files named after this many "DLL" values at most, besides the fixed ones.
constexpr int32_t NamedFiles = 6;
const char* const FixedFiles[] = {"C:\\Player\\QFXCodec.dll", "C:\\Player\\Components\\AxQuillframe3.dll"};
// Versions by file number: 3.0.1.27, none, 10.0.1.44, 1.2.3.4, 255.255.255.255.
const uint32_t Versions[] = {0x0300011B, 0, 0x0A00012C, 0x01020304, 0xFFFFFFFF};

// Each path's version and the number of files and of reads of that path (a
// list may name the same file twice).
struct PathFacts {
  uint32_t version;
  int files;
  int reads;
};
std::map<std::string, PathFacts> paths;

uint32_t VersionOf(const FixedPath& file) {
  auto found = paths.find(file.Text());
  if (found == paths.end()) Fail("a file that is not in the list was read");
  ++found->second.reads;
  return found->second.version;
}

void AddFile(TypedArray<FixedPath>& files, const std::string& path) {
  FixedPath file;
  file.SetText(path.c_str());  // cut as the program cuts paths
  const uint32_t version = Versions[paths.size() % (sizeof Versions / sizeof Versions[0])];
  if (!AppendPathCopy(files, file)) Fail("no memory for the file list");
  ++paths.emplace(file.Text(), PathFacts{version, 0, 0}).first->second.files;
}

// The plain check: the first pair whose name is in no file's name with its
// version text, 0 when there is none.
int32_t PlainCheck(const VersionPairs& pairs, const TypedArray<FixedPath>& files) {
  for (int32_t pair = 0; pair < pairs.Count(); ++pair) {
    const std::string name(pairs.names[pair].TextOrEmpty(), pairs.names[pair].Length());
    const std::string version(pairs.versions[pair].TextOrEmpty(), pairs.versions[pair].Length());
    bool satisfied = false;
    for (int32_t i = 0; i < files.count && !satisfied; ++i) {
      const char* fileName = files[i].FileNamePart();
      if (!fileName || std::string(fileName).find(name) == std::string::npos) continue;
      char text[ProductVersionTextBytes] = "";
      const uint32_t number = paths.at(files[i].Text()).version;
      satisfied = (AppendProductVersionText(number, text) ? text : NoVersionText) == version;
    }
    if (!satisfied) return pair + 1;
  }
  return EveryComponentVerified;
}

// Files handed to a check one at a time, as "-v" collects them scan by scan:
// the collector asks after each file but the last whether the check has
// enough, and stops there.
struct SteppedFiles {
  const TypedArray<FixedPath>* all;
  TypedArray<FixedPath>* collected;
};

void CollectOneByOne(void* context, CollectedEnough enough, void* check) {
  const SteppedFiles& steps = *static_cast<SteppedFiles*>(context);
  for (int32_t i = 0; i < steps.all->count; ++i) {
    if (i > 0 && enough(check)) return;
    if (!AppendPathCopy(*steps.collected, (*steps.all)[i])) Fail("no memory for the collected files");
  }
}

void ExpectNoFileReadTwice() {
  for (const auto& path : paths)
    if (path.second.reads > path.second.files) Fail("a file's version was read twice");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProfileDocument document;
  if (!ReadFuzzedDocument(data, size, document)) return 0;

  VersionPairs pairs;
  CollectVersionPairs(document, pairs);
  paths.clear();
  TypedArray<FixedPath> files;
  for (const char* path : FixedFiles) AddFile(files, path);
  for (int32_t i = 0; i < pairs.names.count && i < NamedFiles; ++i)
    AddFile(files, std::string("C:\\Player\\Plugins\\") + pairs.names[i].TextOrEmpty() + ".dll");

  const int32_t code = VerifyVersionDocument(document, files, VersionOf);
  ExpectNoFileReadTwice();

  // The same list with the files collected step by step, as "-v" does.
  for (auto& path : paths) path.second.reads = 0;
  TypedArray<FixedPath> collected;
  SteppedFiles steps{&files, &collected};
  if (VerifyVersionDocument(document, collected, VersionOf, CollectOneByOne, &steps) != code)
    Fail("code differs when the files are collected step by step");
  ExpectNoFileReadTwice();
  if (code != EveryComponentVerified && code != VersionListUnusable && collected.count != files.count)
    Fail("a failing list stopped the collection early");
  if ((code == VersionListUnusable) != (pairs.Count() == 0)) Fail("-3 not exactly for a list without pairs");
  if (code == VersionListUnusable) return 0;
  if (code < 0 || code > pairs.Count()) Fail("code is not a pair number");
  if (code != PlainCheck(pairs, files)) Fail("code differs from the plain check");
  if (code != FindUnsatisfiedPair(pairs, files, VersionOf, false)) Fail("code differs without memory");
  return 0;
}
