// Finding and removing links in a tree, over FindFirstFileA, final paths and
// a delete disposition set on the link itself.
#include <windows.h>

#include <cstring>

#include "foundation/final_path.h"
#include "foundation/folder_search_win32.h"
#include "foundation/tree_links.h"

namespace {

// A handle on a link itself (its reparse point not followed), closed on scope exit.
class LinkHandle {
 public:
  explicit LinkHandle(const char* path)
      : handle_(CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
  ~LinkHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  LinkHandle(const LinkHandle&) = delete;
  LinkHandle& operator=(const LinkHandle&) = delete;

  // True when the handle is open on the link and not on what it leads to:
  // its own attributes carry the reparse point.
  bool IsOnLinkItself(DWORD* attributes) const {
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (handle_ == INVALID_HANDLE_VALUE ||
        !GetFileInformationByHandleEx(handle_, FileAttributeTagInfo, &tag, sizeof tag))
      return false;
    *attributes = tag.FileAttributes;
    return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }
  bool ClearReadOnly(DWORD attributes) {
    FILE_BASIC_INFO basic = {};  // zero times stay as they are
    basic.FileAttributes = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic) != 0;
  }
  // Marks the link for deletion when the handle closes.
  bool MarkForDeletion() {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(handle_, FileDispositionInfo, &disposition, sizeof disposition) != 0;
  }

 private:
  HANDLE handle_;
};

// Removes the link at path, never its target: only through a handle proven to
// be on the link itself.
bool RemoveLinkItself(const char* path) {
  LinkHandle link(path);
  DWORD attributes = 0;
  if (!link.IsOnLinkItself(&attributes)) return false;
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !link.ClearReadOnly(attributes)) return false;
  return link.MarkForDeletion();
}

// Removes the links in the folder at path (length characters in a MAX_PATH
// buffer that the walk extends and restores). False when a link stays or the
// folder cannot be examined.
bool SweepFolder(char* path, size_t length) {
  char folderFinal[FinalPathBytes];
  if (!ReadFinalPath(path, folderFinal)) return false;
  if (length + 4 >= MAX_PATH) return false;
  memcpy(path + length, "\\*", 3);
  FolderSearch search(path);
  path[length] = '\0';
  if (!search.Found()) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (search.AtDotEntry()) continue;
    const WIN32_FIND_DATAA& entry = search.Entry();
    size_t nameLength = strlen(entry.cFileName);
    if (length + 1 + nameLength >= MAX_PATH) return false;
    path[length] = '\\';
    memcpy(path + length + 1, entry.cFileName, nameLength + 1);
    bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                  LeadsElsewhere(folderFinal, path, entry.cFileName);
    bool ok = true;
    if (isLink)
      ok = RemoveLinkItself(path);
    else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ok = SweepFolder(path, length + 1 + nameLength);
    path[length] = '\0';
    if (!ok) return false;
  } while (search.Next());
  return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

bool RemoveLinksInTree(const char* folder) {
  char path[MAX_PATH];
  size_t length = strlen(folder);
  if (length >= MAX_PATH) return false;
  memcpy(path, folder, length + 1);
  while (length > 0 && path[length - 1] == '\\') path[--length] = '\0';
  if (length == 0) return false;
  // A folder that does not exist holds no links.
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return true;
  return SweepFolder(path, length);
}
