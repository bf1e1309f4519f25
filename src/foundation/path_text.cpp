#include "foundation/path_text.h"

#include <cstring>

#include "foundation/platform.h"

namespace {

constexpr uint32_t PathBytes = FixedPath::TextBytes;  // 259 characters and the terminator

// The length of the program's drive and folder within its file path, the
// folder's closing separator included; just the drive when there is no folder.
size_t FolderPrefixLength(const char* programFile) {
  const char* lastSeparator = strrchr(programFile, '\\');
  const char* lastSlash = strrchr(programFile, '/');
  if (!lastSeparator || (lastSlash && lastSlash > lastSeparator)) lastSeparator = lastSlash;
  if (lastSeparator) return static_cast<size_t>(lastSeparator - programFile) + 1;
  return programFile[0] != '\0' && programFile[1] == ':' ? 2 : 0;
}

}  // namespace

Status ConvertSeparators(char* text, char separator) {
  if (!text || (separator != '/' && separator != '\\')) return StatusBadArgument;
  char other = separator == '/' ? '\\' : '/';
  for (char* at = text; *at != '\0'; ++at) {
    if (*at == other) *at = separator;
  }
  return StatusOk;
}

bool ProgramFilePath(FixedPath& out, const char* name) {
  out.SetText(nullptr);

  char nameText[PathBytes] = {};
  if (name) {
    size_t nameLength = strnlen(name, PathBytes);
    if (nameLength >= PathBytes) return true;  // too long for any path
    memcpy(nameText, name, nameLength);
  }
  ConvertSeparators(nameText, '\\');
  const char* fileName = nameText;
  while (*fileName == '\\') ++fileName;

  char programFile[PathBytes];
  if (platform::ReadProgramFileName(programFile, PathBytes) == 0) return true;
  size_t folderLength = FolderPrefixLength(programFile);
  size_t fileNameLength = strlen(fileName);
  if (folderLength + fileNameLength >= PathBytes) return true;

  char joined[PathBytes];
  memcpy(joined, programFile, folderLength);
  memcpy(joined + folderLength, fileName, fileNameLength + 1);
  out.SetText(joined);
  return true;
}

bool JoinFolderAndName(const char* folder, const char* name, char* out, size_t bytes) {
  size_t folderLength = strlen(folder);
  size_t nameLength = strlen(name);
  bool endsInBackslash = folderLength > 0 && folder[folderLength - 1] == '\\';
  size_t length = folderLength + (endsInBackslash ? 0 : 1) + nameLength;
  if (length >= bytes) {
    if (bytes > 0) out[0] = '\0';
    return false;
  }
  memcpy(out, folder, folderLength);
  size_t at = folderLength;
  if (!endsInBackslash) out[at++] = '\\';
  memcpy(out + at, name, nameLength + 1);
  return true;
}
