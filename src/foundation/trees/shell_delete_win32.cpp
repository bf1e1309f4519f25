// The one place for the shell's file operation (shell32, loaded from the
// system folder on first use).
#include "foundation/trees/shell_delete.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "foundation/core/platform_win32.h"
#include "foundation/core/what_if.h"

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
  // A run that describes its changes deletes nothing: what the list names
  // is gone for the rest of the run only.
  if (ChangesAreDescribed()) {
    for (const char* path = source; path && *path; path += strlen(path) + 1) NoteRemovedPath(path);
    return 0;
  }
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
