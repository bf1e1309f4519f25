// Tree removal on Windows: RemoveTree over the shell's delete and
// RemoveDirectoryA, the wide-character tree walk, the link sweep that runs
// before every removal, and the emptiness test.
#include "foundation/tree_removal.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>

#include "foundation/json_text.h"
#include "foundation/operations_log.h"
#include "foundation/paths.h"
#include "foundation/platform_win32.h"
#include "foundation/protected_folders.h"

namespace {

// The shell's source buffers: zero-filled, so the text ends in the double
// NUL the shell requires.
constexpr size_t SourceBytes = 260;

// Makes folder ready for the shell's delete: its contents' pattern into
// pattern (SourceBytes) and, since the shell's delete may follow links, every
// link inside it removed first, each by itself. Returns why folder may not be
// removed, or none: a protected folder, a pattern that would not fit, or a
// link that cannot be removed by itself.
const char* PrepareRemoval(const FixedPath& folder, bool removeContents, char* pattern) {
  if (IsProtectedFolder(folder)) return "a protected folder (a drive root, the Windows folder or a shared folder)";
  if (!removeContents) return nullptr;
  // The folder, one backslash, "*.*" and two NULs: the last byte is left NUL.
  if (!JoinFolderAndName(folder.Text(), "*.*", pattern, SourceBytes - 1)) return "its path is too long";
  if (!RemoveLinksInTree(folder.Text())) return "it holds a link that cannot be removed by itself";
  return nullptr;
}

// The removal itself, once nothing refuses it; pattern names the contents.
Status RemoveTreeSteps(const FixedPath& folder, bool removeContents, bool removeFolder, const char* pattern) {
  Status status = removeContents ? ShellDelete(pattern) : StatusOk;
  if (!removeFolder) return status;

  char stripped[SourceBytes] = {};
  const size_t strippedLength = LengthWithoutTrailingSeparators(folder.Text(), folder.Length());
  // The folder and two NULs.
  if (strippedLength == 0 || strippedLength + 2 > SourceBytes) return StatusIoError;
  memcpy(stripped, folder.Text(), strippedLength);
  if (RemoveDirectoryA(stripped)) return status;
  if (!removeContents) return StatusIoError;
  return ShellDelete(stripped) == 0 ? StatusOk : StatusIoError;
}

// Reports to the log every file a removal left in folder, and why it stays.
void LogWhatWasKept(const char* folder);

}  // namespace

Status RemoveTree(const FixedPath& folder, bool removeContents, bool removeFolder) {
  if (folder.Length() == 0) return StatusIoError;
  char pattern[SourceBytes] = {};
  if (const char* refusal = PrepareRemoval(folder, removeContents, pattern)) {
    Logf("refused to remove %s: %s", QuotedFolder(folder.Text()).c_str(), refusal);
    return StatusIoError;
  }
  const Status status = RemoveTreeSteps(folder, removeContents, removeFolder, pattern);
  if (!LogIsOpen()) return status;
  if (status == StatusOk || !folder.Exists()) {
    Logf("removed %s%s", removeFolder ? "folder " : "the contents of ", QuotedFolder(folder.Text()).c_str());
  } else {
    Logf("could not remove %s%s", removeFolder ? "folder " : "the contents of ", QuotedFolder(folder.Text()).c_str());
    LogWhatWasKept(folder.Text());
  }
  return status;
}

// Walking a folder tree by wide-character names and extended-length paths
// ("\\?\C:\dir"), so that the walk sees every entry: names outside the ANSI
// code page ("Ωmega", "日本"), which the ANSI calls turn into "?" and cannot
// open, and paths longer than MAX_PATH. The link sweep before a removal and
// the emptiness test of the uninstall walk this way: an entry they missed
// would be removed unchecked, or counted as nothing. For the Windows-only
// sources.

// A path that a walk extends by one name per level and cuts back, in one
// heap buffer large enough for any extended-length path.
class WidePath {
 public:
  static constexpr uint32_t Capacity = 32768;  // characters, with the terminator

  WidePath();
  ~WidePath();
  WidePath(const WidePath&) = delete;
  WidePath& operator=(const WidePath&) = delete;

  // The extended-length form of the full path of path (an ANSI path, as the
  // registry and FixedPath hold it), without trailing separators:
  // "\\?\C:\dir" or "\\?\UNC\server\share\dir". False when memory runs out
  // or the path cannot be made full.
  bool SetFromAnsi(const char* path);
  // Adds "\" and name; false, unchanged, when it does not fit.
  bool Append(const wchar_t* name);
  // Goes back to the first length characters.
  void Cut(uint32_t length);
  // Reads where path (another extended-length path) really leads, links
  // followed, into this path; false when it cannot be opened.
  bool SetFinalPathOf(const wchar_t* path);

  bool IsValid() const { return text_ != nullptr; }
  const wchar_t* Text() const { return text_; }
  uint32_t Length() const { return length_; }

 private:
  wchar_t* text_;
  uint32_t length_;
};

// A walk's path as the log shows it: UTF-8, without the "\\?\" prefix.
std::string ReadableUtf8(const WidePath& path) {
  const wchar_t* text = path.Text();
  if (wcsncmp(text, L"\\\\?\\UNC\\", 8) == 0) return "\\" + Utf8OfWide(text + 7);
  if (wcsncmp(text, L"\\\\?\\", 4) == 0) return Utf8OfWide(text + 4);
  return Utf8OfWide(text);
}

// One entry the walk found, before it decides whether to enter it.
struct WideEntry {
  const WidePath& path;            // the entry's full extended-length path
  const WIN32_FIND_DATAW& found;   // what the folder listing says of it
  bool isLink;                     // a reparse point, or it leads away from where it was found
};

// Called for each entry; false ends the walk.
typedef bool (*WideEntryVisitor)(void* context, const WideEntry& entry);

// Visits every entry of the tree of folder (an ANSI path; folder itself is
// not visited), depth first, entering every folder that is not a link
// after visiting it; links are visited but never followed. True when the
// whole tree was listed and no visit ended the walk; false when a visit
// ended it, a folder could not be listed completely, or folder does not
// exist or cannot be named.
bool WalkTreeWide(const char* folder, WideEntryVisitor visit, void* context);

// The wide-character tree walk over FindFirstFileW and final paths.

namespace {

constexpr wchar_t ExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t ExtendedUncPrefix[] = L"\\\\?\\UNC\\";
constexpr uint32_t ExtendedPrefixLength = 4;

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
         !IsPathSeparator(scratch.Text()[folderLength]) ||
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
  length_ = static_cast<uint32_t>(LengthWithoutTrailingSeparators(text_, length_));
  text_[length_] = L'\0';
  if (wcsncmp(text_, ExtendedPrefix, ExtendedPrefixLength) == 0 || wcsncmp(text_, L"\\\\.\\", 4) == 0) return true;
  // "C:\dir" becomes "\\?\C:\dir", "\\server\share" "\\?\UNC\server\share".
  const bool unc = length_ >= 2 && IsPathSeparator(text_[0]) && IsPathSeparator(text_[1]);
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
  length_ = static_cast<uint32_t>(LengthWithoutTrailingSeparators(text_, length_));
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

// Finding and removing links in a tree, over the wide-character tree walk (so
// that no name escapes the sweep) and a delete disposition set on the link
// itself.

namespace {

// True when link is open on the link itself and not on what it leads to:
// its own attributes, put into attributes, carry the reparse point.
bool IsOnLinkItself(const FileHandle& link, DWORD* attributes) {
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  if (!link.IsOpen() || !GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag))
    return false;
  *attributes = tag.FileAttributes;
  return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool ClearReadOnly(const FileHandle& link, DWORD attributes) {
  FILE_BASIC_INFO basic = {};  // zero times stay as they are
  basic.FileAttributes = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT);
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(link.Get(), FileBasicInfo, &basic, sizeof basic) != 0;
}

// Marks the link for deletion when its handle closes.
bool MarkForDeletion(const FileHandle& link) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  return SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Removes the link at path, never its target: only through a handle proven to
// be on the link itself (its reparse point not followed).
bool RemoveLinkItself(const wchar_t* path) {
  FileHandle link(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  DWORD attributes = 0;
  if (!IsOnLinkItself(link, &attributes)) return false;
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !ClearReadOnly(link, attributes)) return false;
  return MarkForDeletion(link);
}

// Removes each link the walk finds; a link that stays ends the walk.
bool RemoveEachLink(void*, const WideEntry& entry) {
  if (!entry.isLink) return true;
  if (!RemoveLinkItself(entry.path.Text())) return false;
  LogEventUtf8("removed link " + Quoted(ReadableUtf8(entry.path).c_str()) + " (not what it leads to)");
  return true;
}

}  // namespace

bool RemoveLinksInTree(const char* folder) {
  if (!folder || !*folder) return false;
  // A folder that does not exist holds no links.
  if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return true;
  return WalkTreeWide(folder, RemoveEachLink, nullptr);
}

namespace {

// Ends the walk of FolderIsEmpty at the first entry that is not a folder
// that can be entered: a file, or a link of any kind.
bool OnlyFolders(void*, const WideEntry& entry) {
  return !entry.isLink && (entry.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool FolderIsEmpty(const FixedPath& folder) { return WalkTreeWide(folder.Text(), OnlyFolders, nullptr); }

namespace {

struct TreeSize {
  uint64_t files = 0;
  uint64_t bytes = 0;
};

// Counts every entry that is not a folder entered by the walk: files and links.
bool CountFile(void* context, const WideEntry& entry) {
  if (!entry.isLink && (entry.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  auto* size = static_cast<TreeSize*>(context);
  ++size->files;
  if (!entry.isLink)
    size->bytes += (static_cast<uint64_t>(entry.found.nFileSizeHigh) << 32) | entry.found.nFileSizeLow;
  return true;
}

// Why a file stays after a removal, as the system answers a request to
// delete it.
bool ReportKeptFile(void*, const WideEntry& entry) {
  if (!entry.isLink && (entry.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  FileHandle file(entry.path.Text(), DELETE, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  const DWORD error = file.IsOpen() ? ERROR_SUCCESS : GetLastError();
  std::string why;
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    why = "in use by another program";
  } else if (error == ERROR_ACCESS_DENIED) {
    why = "access denied";
  } else {
    why = "could not be deleted";
    if (error != ERROR_SUCCESS) why += " (error " + std::to_string(error) + ")";
  }
  LogEventUtf8("kept " + Quoted(ReadableUtf8(entry.path).c_str()) + ": " + why);
  return true;
}

void LogWhatWasKept(const char* folder) { WalkTreeWide(folder, ReportKeptFile, nullptr); }

}  // namespace

bool MeasureTree(const FixedPath& folder, uint64_t* fileCount, uint64_t* byteCount) {
  TreeSize size;
  const bool whole = WalkTreeWide(folder.Text(), CountFile, &size);
  if (fileCount) *fileCount = size.files;
  if (byteCount) *byteCount = size.bytes;
  return whole;
}

// The one place for the shell's file operation (shell32, loaded from the
// system folder on first use).

namespace {

// FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI, without FOF_ALLOWUNDO.
constexpr FILEOP_FLAGS DeleteFlags = 0x414;
static_assert(DeleteFlags == (FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI), "silent, unconfirmed, no boxes");

typedef int(WINAPI* FileOperationCall)(LPSHFILEOPSTRUCTA);

// What the shell's operation returns for "cannot be done": the error of a
// library that cannot be loaded.
constexpr int ShellMissing = ERROR_MOD_NOT_FOUND;

}  // namespace

int ShellDelete(const char* source) {
  auto fileOperation = SystemFunctionAs<FileOperationCall>(SystemLibrary::Shell, "SHFileOperationA");
  if (!fileOperation) return ShellMissing;
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = source;
  operation.pTo = nullptr;
  operation.fFlags = DeleteFlags;
  return fileOperation(&operation);
}
