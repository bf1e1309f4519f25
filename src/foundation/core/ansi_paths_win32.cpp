// Short and long forms over GetShortPathNameW and GetLongPathNameW.
#include "foundation/core/ansi_paths.h"

#include <windows.h>

#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/core/path_separators.h"
#include "foundation/core/system_path_win32.h"

namespace {

// One of the two path forms of path into out; false when it cannot be read.
bool ReadPathForm(DWORD(WINAPI* form)(LPCWSTR, LPWSTR, DWORD), const wchar_t* path, std::wstring* out) {
  *out = ReadSystemPath([form, path](wchar_t* buffer, DWORD size) { return form(path, buffer, size); });
  return !out->empty();
}

// The parts of a path between its separators, the separators kept with the
// part before them: "C:\a\b" gives "C:\", "a\", "b".
std::vector<std::wstring> PathParts(const std::wstring& path) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (size_t at = 0; at < path.size(); ++at) {
    if (!IsPathSeparator(path[at])) continue;
    parts.push_back(path.substr(start, at + 1 - start));
    start = at + 1;
  }
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

}  // namespace

bool AnsiPathOf(const wchar_t* path, std::string* ansi) {
  if (ExactAnsiOfWide(path, ansi)) return true;
  std::wstring shortForm;
  if (!ReadPathForm(GetShortPathNameW, path, &shortForm)) {
    ansi->clear();
    return false;
  }
  // Only the parts the code page cannot hold take their short form; the
  // others keep the text they were given ("Program Files", not "PROGRA~1").
  const std::vector<std::wstring> givenParts = PathParts(path);
  const std::vector<std::wstring> shortParts = PathParts(shortForm);
  std::wstring reachable;
  if (givenParts.size() == shortParts.size()) {
    std::string unused;
    for (size_t i = 0; i < givenParts.size(); ++i)
      reachable += ExactAnsiOfWide(givenParts[i].c_str(), &unused) ? givenParts[i] : shortParts[i];
  } else {
    reachable = shortForm;
  }
  if (ExactAnsiOfWide(reachable.c_str(), ansi)) return true;
  ansi->clear();
  return false;
}

std::string TruePathUtf8(const char* ansiPath) {
  const std::wstring given = WideOfAnsi(ansiPath);
  std::wstring stored;
  if (given.empty() || !ReadPathForm(GetLongPathNameW, given.c_str(), &stored)) return Utf8OfAnsi(ansiPath);
  // Part by part: the long form also lengthens short forms the code page
  // could hold ("PROGRA~1"), which the program shows as it has them.
  const std::vector<std::wstring> givenParts = PathParts(given);
  const std::vector<std::wstring> storedParts = PathParts(stored);
  if (givenParts.size() != storedParts.size()) return Utf8OfWide(stored.c_str());
  std::wstring shown;
  std::string unused;
  for (size_t i = 0; i < givenParts.size(); ++i)
    shown += ExactAnsiOfWide(storedParts[i].c_str(), &unused) ? givenParts[i] : storedParts[i];
  return Utf8OfWide(shown.c_str());
}
