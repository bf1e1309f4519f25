// Final paths through GetFinalPathNameByHandleA.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "foundation/final_path.h"
#include "foundation/text_case.h"

namespace {

// A handle opened only to ask about the file or folder, closed on scope exit.
class QueryHandle {
 public:
  explicit QueryHandle(const char* path)
      : handle_(CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
  ~QueryHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  QueryHandle(const QueryHandle&) = delete;
  QueryHandle& operator=(const QueryHandle&) = delete;

  HANDLE Get() const { return handle_; }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

bool ReadFinalPath(const char* path, char* out) {
  out[0] = '\0';
  QueryHandle file(path);
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
  size_t folderLength = strlen(folderFinal);
  bool endsInBackslash = folderLength > 0 && folderFinal[folderLength - 1] == '\\';
  size_t nameLength = strlen(name);
  size_t length = folderLength + (endsInBackslash ? 0 : 1) + nameLength;
  if (length >= FinalPathBytes) return true;  // cannot be where it was found
  memcpy(expected, folderFinal, folderLength);
  if (!endsInBackslash) expected[folderLength++] = '\\';
  memcpy(expected + folderLength, name, nameLength + 1);
  return !EqualIgnoringCase(entryFinal, expected);
}

bool IsLinkInFolder(const char* folder, const char* name) {
  char entryPath[MAX_PATH];
  size_t folderLength = strlen(folder);
  bool endsInBackslash = folderLength > 0 && folder[folderLength - 1] == '\\';
  int written = snprintf(entryPath, sizeof entryPath, "%s%s%s", folder, endsInBackslash ? "" : "\\", name);
  if (written < 0 || static_cast<size_t>(written) >= sizeof entryPath) return true;
  DWORD attributes = GetFileAttributesA(entryPath);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  char folderFinal[FinalPathBytes];
  return ReadFinalPath(folder, folderFinal) && LeadsElsewhere(folderFinal, entryPath, name);
}
