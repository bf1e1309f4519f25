#include "maintenance/uninstall_names.h"

#include <cstring>

namespace {

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsPlayerLibraryName(const char* fileName) {
  if (!fileName) return false;
  for (const char* prefix = PlayerLibraryPrefix; *prefix; ++prefix, ++fileName) {
    if (LowerCase(*fileName) != LowerCase(*prefix)) return false;  // also at the name's end
  }
  return true;
}

bool JoinPluginPath(const char* folder, const char* name, char* out, size_t capacity) {
  if (capacity == 0) return false;
  memset(out, 0, capacity);
  if (!folder || !*folder || !name) return false;
  size_t folderLength = strlen(folder);
  size_t nameLength = strlen(name);
  // A folder given with its trailing backslash gets no second one.
  bool endsInBackslash = folder[folderLength - 1] == '\\';
  size_t length = folderLength + (endsInBackslash ? 0 : 1) + nameLength;
  if (length + 2 > capacity) return false;
  memcpy(out, folder, folderLength);
  size_t at = folderLength;
  if (!endsInBackslash) out[at++] = '\\';
  memcpy(out + at, name, nameLength);
  return true;
}
