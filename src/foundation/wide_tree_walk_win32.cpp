// The wide-character tree walk over FindFirstFileW and final paths.
#include "foundation/wide_tree_walk_win32.h"

#include <cwchar>
#include <new>

#include "foundation/file_handle_win32.h"

namespace {

constexpr wchar_t ExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t ExtendedUncPrefix[] = L"\\\\?\\UNC\\";
constexpr uint32_t ExtendedPrefixLength = 4;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// One search of a folder's entries by wide names, closed when it goes.
class WideFolderSearch {
 public:
  explicit WideFolderSearch(const wchar_t* pattern) : handle_(FindFirstFileW(pattern, &entry_)) {}
  ~WideFolderSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  WideFolderSearch(const WideFolderSearch&) = delete;
  WideFolderSearch& operator=(const WideFolderSearch&) = delete;
  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Next() { return FindNextFileW(handle_, &entry_) != 0; }
  const WIN32_FIND_DATAW& Entry() const { return entry_; }

 private:
  WIN32_FIND_DATAW entry_;
  HANDLE handle_;
};

// True when the entry at entryPath, found as name in the folder whose final
// path is folderFinal, leads somewhere else: Windows marks every link as a
// reparse point, but Wine shows a link to a file as a plain file whose final
// path is its target's. An entry that cannot be opened leads nowhere.
bool LeadsElsewhere(const WidePath& folderFinal, const WidePath& entryPath, const wchar_t* name,
                    WidePath& scratch) {
  if (!scratch.SetFinalPathOf(entryPath.Text())) return false;
  const uint32_t folderLength = folderFinal.Length();
  if (scratch.Length() != folderLength + 1 + wcslen(name)) return true;
  // Compared without regard to case, as the file system names them.
  return CompareStringOrdinal(scratch.Text(), folderLength, folderFinal.Text(), folderLength, TRUE) != CSTR_EQUAL ||
         !IsSeparator(scratch.Text()[folderLength]) ||
         CompareStringOrdinal(scratch.Text() + folderLength + 1, -1, name, -1, TRUE) != CSTR_EQUAL;
}

struct Walk {
  WideEntryVisitor visit;
  void* context;
  WidePath path;     // the entry in hand
  WidePath scratch;  // final paths of entries
};

// Walks the folder at walk.path. False when the walk must end.
bool WalkFolder(Walk& walk) {
  WidePath folderFinal;
  if (!folderFinal.IsValid() || !folderFinal.SetFinalPathOf(walk.path.Text())) return false;
  const uint32_t length = walk.path.Length();
  if (!walk.path.Append(L"*")) return false;
  WideFolderSearch search(walk.path.Text());
  walk.path.Cut(length);
  if (!search.Found()) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const WIN32_FIND_DATAW& found = search.Entry();
    if (IsDotEntry(found.cFileName)) continue;
    if (!walk.path.Append(found.cFileName)) return false;
    const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                        LeadsElsewhere(folderFinal, walk.path, found.cFileName, walk.scratch);
    bool goOn = walk.visit(walk.context, WideEntry{walk.path, found, isLink});
    if (goOn && !isLink && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) goOn = WalkFolder(walk);
    walk.path.Cut(length);
    if (!goOn) return false;
  } while (search.Next());
  return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

WidePath::WidePath() : text_(new (std::nothrow) wchar_t[Capacity]), length_(0) {
  if (text_) text_[0] = L'\0';
}

WidePath::~WidePath() { delete[] text_; }

bool WidePath::SetFromAnsi(const char* path) {
  if (!text_ || !path || !*path) return false;
  // The ANSI text as wide characters, then made full; a relative path or
  // one with "." and ".." is resolved here, once, as the ANSI calls would.
  WidePath given;
  if (!given.IsValid() || MultiByteToWideChar(CP_ACP, 0, path, -1, given.text_, Capacity) == 0) return false;
  DWORD full = GetFullPathNameW(given.text_, Capacity, text_, nullptr);
  if (full == 0 || full >= Capacity) return false;
  length_ = full;
  while (length_ > 0 && IsSeparator(text_[length_ - 1])) --length_;
  text_[length_] = L'\0';
  if (wcsncmp(text_, ExtendedPrefix, ExtendedPrefixLength) == 0 || wcsncmp(text_, L"\\\\.\\", 4) == 0) return true;
  // "C:\dir" becomes "\\?\C:\dir", "\\server\share" "\\?\UNC\server\share".
  const bool unc = length_ >= 2 && IsSeparator(text_[0]) && IsSeparator(text_[1]);
  const wchar_t* prefix = unc ? ExtendedUncPrefix : ExtendedPrefix;
  const uint32_t skipped = unc ? 2 : 0;
  const uint32_t prefixLength = static_cast<uint32_t>(wcslen(prefix));
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

bool WidePath::SetFinalPathOf(const wchar_t* path) {
  if (!text_) return false;
  // Opened only to ask where it leads.
  FileHandle file(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file.IsOpen()) return false;
  DWORD length = GetFinalPathNameByHandleW(file.Get(), text_, Capacity, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= Capacity) {
    Cut(0);
    return false;
  }
  length_ = length;
  while (length_ > 0 && IsSeparator(text_[length_ - 1])) --length_;
  text_[length_] = L'\0';
  return true;
}

bool WalkTreeWide(const char* folder, WideEntryVisitor visit, void* context) {
  Walk walk;
  walk.visit = visit;
  walk.context = context;
  if (!walk.path.IsValid() || !walk.scratch.IsValid() || !walk.path.SetFromAnsi(folder)) return false;
  DWORD attributes = GetFileAttributesW(walk.path.Text());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return WalkFolder(walk);
}
