#include "foundation/folder_listing.h"

#include <windows.h>

#include <cstring>

#include "foundation/paths.h"
#include "foundation/platform_win32.h"
#include "foundation/strings.h"

// One search of a folder's entries (FindFirstFileA, FindNextFileA), closed
// when it goes out of scope. For the Windows-only sources.

class FolderSearch {
 public:
  // Starts the search for pattern ("*.*" in the current directory, or
  // "C:\dir\*"); the first entry is at hand when Found().
  explicit FolderSearch(const char* pattern) : handle_(FindFirstFileA(pattern, &entry_)) {}
  ~FolderSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Moves to the next entry; false at the end (GetLastError tells why).
  bool Next() { return FindNextFileA(handle_, &entry_) != 0; }
  const WIN32_FIND_DATAA& Entry() const { return entry_; }
  // True for the entries "." and "..".
  bool AtDotEntry() const { return strcmp(entry_.cFileName, ".") == 0 || strcmp(entry_.cFileName, "..") == 0; }

 private:
  WIN32_FIND_DATAA entry_;
  HANDLE handle_;
};

// The folder walk of FileList over FindFirstFileA and the process's current
// directory.

namespace {

// The current directory is fetched into this many bytes; a listed path holds
// at most as many characters as FixedPath::SetText keeps.
constexpr DWORD CurrentDirectoryBytes = 256;

// Adds folder + "\" + name when the whole path fits; a cut path would name
// another file. On a failed allocation the file is left out.
void AddFile(FileList& list, const char* folder, const char* name) {
  char path[FixedPath::SetTextLimit + 1];
  if (JoinFolderAndName(folder, name, path, sizeof path)) list.AddPath(path);
}

// Lists the current directory. False when the walk must end because the way
// back up from a subfolder failed.
bool WalkCurrentFolder(FileList& list, bool recurse) {
  char folder[CurrentDirectoryBytes];
  DWORD folderLength = GetCurrentDirectoryA(CurrentDirectoryBytes, folder);
  bool folderFits = folderLength > 0 && folderLength < CurrentDirectoryBytes;

  // Where this folder really lies, read when the first file matches, to
  // tell a file from a link to one elsewhere.
  char folderFinal[FinalPathBytes];
  bool folderFinalAsked = false, folderFinalRead = false;

  FolderSearch search("*.*");
  if (!search.Found()) return true;
  while (search.AtDotEntry()) {
    if (!search.Next()) return true;
  }
  do {
    const WIN32_FIND_DATAA& entry = search.Entry();
    DWORD attributes = entry.dwFileAttributes;
    // A link is neither entered nor listed: it may lead out of the tree or
    // back into it.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    // No Windows name holds "?": here it stands for a character outside the
    // ANSI code page, and the name cannot be opened, checked or loaded
    // through it (it would even match other names as a wildcard).
    if (strchr(entry.cFileName, '?')) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      // "." and ".." are skipped wherever they come, not only first.
      if (!recurse || search.AtDotEntry()) continue;
      // Only a folder actually entered is left again.
      if (!SetCurrentDirectoryA(entry.cFileName)) continue;
      bool goOn = WalkCurrentFolder(list, recurse);
      if (!SetCurrentDirectoryA("..") || !goOn) return false;
    } else if (folderFits && list.Matches(entry.cFileName)) {
      if (!folderFinalAsked) {
        folderFinalAsked = true;
        folderFinalRead = ReadFinalPath(".", folderFinal);
      }
      if (folderFinalRead && LeadsElsewhere(folderFinal, entry.cFileName, entry.cFileName)) continue;
      AddFile(list, folder, entry.cFileName);
    }
  } while (search.Next());
  return true;
}

}  // namespace

Status FileList::ListFiles(const FixedPath& folder, const char* extensionFilter, uint32_t fileTypeCode,
                           bool recurse) {
  SetFilter(extensionFilter);
  char previous[MAX_PATH];
  DWORD previousLength = GetCurrentDirectoryA(MAX_PATH, previous);
  if (!SetCurrentDirectoryA(folder.Text())) return StatusOk;
  WalkCurrentFolder(*this, recurse);
  // Callers remove what they listed, so the listed folder must not stay
  // current; when the previous directory is gone, its parent serves.
  bool restored = previousLength > 0 && previousLength < MAX_PATH && SetCurrentDirectoryA(previous);
  if (!restored) SetCurrentDirectoryA("..");
  return StatusOk;
}

// Final paths through GetFinalPathNameByHandleA.

bool ReadFinalPath(const char* path, char* out) {
  out[0] = '\0';
  // Opened only to ask where it leads.
  FileHandle file(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file.IsOpen()) return false;
  DWORD length = GetFinalPathNameByHandleA(file.Get(), out, FinalPathBytes, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= FinalPathBytes) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool LeadsElsewhere(const char* folderFinal, const char* entryPath, const char* name) {
  char entryFinal[FinalPathBytes];
  if (!ReadFinalPath(entryPath, entryFinal)) return false;
  char expected[FinalPathBytes];
  if (!JoinFolderAndName(folderFinal, name, expected, sizeof expected)) return true;  // cannot be where it was found
  return !EqualIgnoringCase(entryFinal, expected);
}

bool IsLinkInFolder(const char* folder, const char* name) {
  char entryPath[MAX_PATH];
  if (!JoinFolderAndName(folder, name, entryPath, sizeof entryPath)) return true;
  DWORD attributes = GetFileAttributesA(entryPath);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  char folderFinal[FinalPathBytes];
  return ReadFinalPath(folder, folderFinal) && LeadsElsewhere(folderFinal, entryPath, name);
}
