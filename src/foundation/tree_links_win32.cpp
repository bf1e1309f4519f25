// Finding and removing links in a tree, over FindFirstFileA, final paths and
// a delete disposition set on the link itself.
#include <windows.h>

#include <cstring>

#include "foundation/file_handle_win32.h"
#include "foundation/final_path.h"
#include "foundation/folder_search_win32.h"
#include "foundation/tree_links.h"

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
bool RemoveLinkItself(const char* path) {
  FileHandle link(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  DWORD attributes = 0;
  if (!IsOnLinkItself(link, &attributes)) return false;
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !ClearReadOnly(link, attributes)) return false;
  return MarkForDeletion(link);
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
