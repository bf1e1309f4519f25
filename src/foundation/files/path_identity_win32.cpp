// Paths resolved by the system: GetFullPathNameW for the folder it is
// relative to, ".", ".." and "/", GetLongPathNameW for short names of the
// part that exists, CompareStringOrdinal for case.
#include "foundation/files/path_identity.h"

#include <windows.h>

#include <string>

#include "foundation/core/code_page.h"
#include "foundation/core/system_path_win32.h"

namespace {

// Length of the root of a full path: "C:\" or "\\server\share\".
size_t RootLength(const std::wstring& full) {
  if (full.size() >= 3 && full[1] == L':') return 3;
  size_t separators = 0;
  for (size_t at = 0; at < full.size(); ++at)
    if (full[at] == L'\\' && ++separators == 4) return at + 1;
  return full.size();
}

// The full path, its existing part with long names, without a separator at
// its end (except a root's own).
std::wstring Resolved(const wchar_t* path) {
  const std::wstring wide = path ? path : L"";
  if (wide.empty()) return wide;
  std::wstring full =
      ReadSystemPath([&wide](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
      });
  const size_t root = RootLength(full);
  while (full.size() > root && full.back() == L'\\') full.pop_back();
  // The longest part that exists gets its long names; the rest is as given.
  std::wstring part = full;
  std::wstring rest;
  for (;;) {
    std::wstring longPart =
        ReadSystemPath([&part](wchar_t* buffer, DWORD size) { return GetLongPathNameW(part.c_str(), buffer, size); });
    if (!longPart.empty()) {
      if (longPart.back() == L'\\' && !rest.empty()) longPart.pop_back();
      return longPart + rest;
    }
    const size_t separator = part.rfind(L'\\');
    if (part.size() <= root || separator == std::wstring::npos || separator + 1 < root) return full;
    rest = part.substr(separator) + rest;
    part.resize(separator + 1 == root ? root : separator);
  }
}

bool SameText(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
  return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool IsSameOrInside(const char* path, const char* target) {
  return path && target && IsSameOrInside(WideOfAnsi(path).c_str(), WideOfAnsi(target).c_str());
}

bool IsSameOrInside(const wchar_t* path, const wchar_t* target) {
  const std::wstring inner = Resolved(path);
  const std::wstring outer = Resolved(target);
  if (inner.empty() || outer.empty() || inner.size() < outer.size()) return false;
  if (!SameText(inner.c_str(), outer.size(), outer.c_str(), outer.size())) return false;
  return inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\';
}
