// The wide-character tree walk over the folder search and final paths.
#include "foundation/trees/tree_walk_win32.h"

#include <cwchar>
#include <new>

#include "foundation/core/code_page.h"
#include "foundation/core/final_path_win32.h"
#include "foundation/core/paths.h"
#include "foundation/core/system_path_win32.h"
#include "foundation/core/what_if.h"
#include "foundation/files/folder_search_win32.h"

namespace {

constexpr wchar_t ExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t ExtendedUncPrefix[] = L"\\\\?\\UNC\\";
constexpr uint32_t ExtendedPrefixLength = 4;
constexpr uint32_t ExtendedUncPrefixLength = 8;

struct Walk {
  TreeEntryVisitor visit;
  UnlistedFolderVisitor unlisted;
  void* context;
  WidePath path;  // the entry in hand
};

// text without its extended-length prefix: "\\?\C:\dir" is "C:\dir",
// "\\?\UNC\server\share" is "\\server\share".
std::wstring WithoutExtendedPrefix(const wchar_t* text) {
  if (wcsncmp(text, ExtendedUncPrefix, ExtendedUncPrefixLength) == 0)
    return L"\\" + std::wstring(text + ExtendedUncPrefixLength - 1);
  if (wcsncmp(text, ExtendedPrefix, ExtendedPrefixLength) == 0) return text + ExtendedPrefixLength;
  return text;
}

// The folder at walk.path could not be listed (completely): false when that
// ends the walk, true when the walk's unlisted visitor heard of it.
bool NotListed(Walk& walk, DWORD error) {
  if (!walk.unlisted) return false;
  walk.unlisted(walk.context, walk.path, error);
  return true;
}

// Walks the folder at walk.path. False when the walk must end.
bool WalkFolder(Walk& walk) {
  std::wstring folderFinal;
  if (!ReadFinalPath(walk.path.Text(), &folderFinal)) return NotListed(walk, GetLastError());
  const uint32_t length = walk.path.Length();
  if (!walk.path.Append(L"*")) return false;
  FolderSearch search(walk.path.Text());
  const DWORD searchError = GetLastError();
  walk.path.Cut(length);
  if (!search.Found()) return searchError == ERROR_FILE_NOT_FOUND || NotListed(walk, searchError);
  do {
    if (search.AtDotEntry()) continue;
    if (!walk.path.Append(search.Name())) return false;
    if (WouldBeGone(walk.path)) {
      walk.path.Cut(length);
      continue;
    }
    const bool isLink = search.AtReparsePoint() || LeadsElsewhere(folderFinal, walk.path.Text(), search.Name());
    const TreeEntry entry{walk.path, search.Entry(), isLink};
    bool goOn = walk.visit(walk.context, entry);
    if (goOn && entry.IsFolderEntered()) goOn = WalkFolder(walk);
    walk.path.Cut(length);
    if (!goOn) return false;
  } while (search.Next());
  const DWORD ended = GetLastError();
  return ended == ERROR_NO_MORE_FILES || NotListed(walk, ended);
}

}  // namespace

bool WouldBeGone(const WidePath& path) {
  return ChangesAreDescribed() &&
         WhatPathWouldBe(DisplayAnsiOfUtf8(ReadableUtf8(path).c_str()).c_str()) == PathWouldBe::Gone;
}

bool IsLinkedFolder(const WidePath& path) {
  const DWORD attributes = GetFileAttributesW(path.Text());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  // The folder as the folder above it lists it, by its stored name.
  FolderSearch self(path.Text());
  if (!self.Found()) return false;
  if (self.AtReparsePoint()) return true;
  std::wstring parent(path.Text(), path.Length());
  const size_t separator = parent.find_last_of(L'\\');
  // A volume root ("\\?\C:") has no folder above it.
  if (separator == std::wstring::npos || separator < ExtendedPrefixLength) return false;
  parent.resize(separator);
  if (!parent.empty() && parent.back() == L':') parent += L'\\';
  std::wstring parentFinal;
  return ReadFinalPath(parent.c_str(), &parentFinal) && LeadsElsewhere(parentFinal, path.Text(), self.Name());
}

WidePath::WidePath() : text_(new (std::nothrow) wchar_t[Capacity]), length_(0) {
  if (text_) text_[0] = L'\0';
}

WidePath::~WidePath() { delete[] text_; }

bool WidePath::SetFromAnsi(const char* path) {
  if (!text_ || !path || !*path) return false;
  // The ANSI text as wide characters, then made full; a relative path or
  // one with "." and ".." is resolved here, once, as the ANSI calls would.
  const std::wstring given = WideOfAnsi(path);
  if (given.empty()) return false;
  DWORD full = GetFullPathNameW(given.c_str(), Capacity, text_, nullptr);
  if (full == 0 || full >= Capacity) return false;
  // Parts given in their short form by their true names, so that the
  // paths of the walk read as stored.
  const DWORD stored = GetLongPathNameW(text_, text_, Capacity);
  if (stored > 0 && stored < Capacity) full = stored;
  length_ = static_cast<uint32_t>(LengthWithoutTrailingSeparators(text_, full));
  text_[length_] = L'\0';
  if (wcsncmp(text_, ExtendedPrefix, ExtendedPrefixLength) == 0 || wcsncmp(text_, L"\\\\.\\", 4) == 0) return true;
  // "C:\dir" becomes "\\?\C:\dir", "\\server\share" "\\?\UNC\server\share".
  const bool unc = length_ >= 2 && IsPathSeparator(text_[0]) && IsPathSeparator(text_[1]);
  const wchar_t* prefix = unc ? ExtendedUncPrefix : ExtendedPrefix;
  const uint32_t skipped = unc ? 2 : 0;
  const uint32_t prefixLength = unc ? ExtendedUncPrefixLength : ExtendedPrefixLength;
  if (length_ - skipped + prefixLength >= Capacity) return false;
  wmemmove(text_ + prefixLength, text_ + skipped, length_ - skipped + 1);
  wmemcpy(text_, prefix, prefixLength);
  length_ = length_ - skipped + prefixLength;
  return true;
}

bool WidePath::Append(const wchar_t* name) {
  const size_t nameLength = wcslen(name);
  if (!text_ || length_ + 1 + nameLength >= Capacity) return false;
  text_[length_] = L'\\';
  wmemcpy(text_ + length_ + 1, name, nameLength + 1);
  length_ += static_cast<uint32_t>(1 + nameLength);
  return true;
}

void WidePath::Cut(uint32_t length) {
  if (!text_ || length > length_) return;
  length_ = length;
  text_[length_] = L'\0';
}

std::string ReadableUtf8(const WidePath& path) { return Utf8OfWide(WithoutExtendedPrefix(path.Text()).c_str()); }

std::wstring ShortEnoughPath(const WidePath& path) {
  const std::wstring plain = WithoutExtendedPrefix(path.Text());
  if (plain.size() < MAX_PATH) return plain;
  const std::wstring shortForm =
      ReadSystemPath([&path](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.Text(), buffer, size); });
  const std::wstring shortPlain = WithoutExtendedPrefix(shortForm.c_str());
  return shortPlain.size() < MAX_PATH ? shortPlain : std::wstring();
}

bool WalkTree(const char* folder, TreeEntryVisitor visit, void* context, UnlistedFolderVisitor unlisted) {
  Walk walk;
  walk.visit = visit;
  walk.unlisted = unlisted;
  walk.context = context;
  if (!walk.path.IsValid() || !walk.path.SetFromAnsi(folder) || WouldBeGone(walk.path)) return false;
  DWORD attributes = GetFileAttributesW(walk.path.Text());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return WalkFolder(walk);
}
