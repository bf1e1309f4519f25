#include "maintenance/uninstall_names.h"

#include <cstring>

#include "foundation/path_text.h"
#include "foundation/text_case.h"

bool IsPlayerLibraryName(const char* fileName) {
  return fileName && StartsWithIgnoringCase(fileName, PlayerLibraryPrefix);
}

bool JoinPluginPath(const char* folder, const char* name, char* out, size_t capacity) {
  if (capacity == 0) return false;
  memset(out, 0, capacity);
  if (!folder || !*folder || !name) return false;
  // The last byte is left NUL: the second NUL of the shell's double NUL.
  return JoinFolderAndName(folder, name, out, capacity - 1);
}
