// Final paths through GetFinalPathNameByHandleA.
#include <windows.h>

#include "foundation/file_handle_win32.h"
#include "foundation/final_path.h"
#include "foundation/path_text.h"
#include "foundation/text_case.h"

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
