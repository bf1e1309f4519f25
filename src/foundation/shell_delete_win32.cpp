// The one place for the shell's file operation.
#include <windows.h>
#include <shellapi.h>

#include "foundation/shell_delete.h"

namespace {

// FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI, without FOF_ALLOWUNDO.
constexpr FILEOP_FLAGS DeleteFlags = 0x414;
static_assert(DeleteFlags == (FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI), "silent, unconfirmed, no boxes");

}  // namespace

int ShellDelete(const char* source) {
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = source;
  operation.pTo = nullptr;
  operation.fFlags = DeleteFlags;
  return SHFileOperationA(&operation);
}
