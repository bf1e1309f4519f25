#include "foundation/core/paths.h"

#include <cstring>

#include "foundation/core/platform.h"
#include "foundation/core/what_if.h"

FixedPath::FixedPath() : mark(1) { text[0] = '\0'; }

FixedPath::FixedPath(const FixedPath& other) : mark(1) { memcpy(text, other.text, TextBytes); }

FixedPath& FixedPath::operator=(const FixedPath& other) {
  if (this != &other) memcpy(text, other.text, TextBytes);
  return *this;
}

FixedPath::~FixedPath() { mark = 0; }

void FixedPath::SetText(const char* newText) {
  if (!newText) {
    text[0] = '\0';
    return;
  }
  uint32_t length = 0;
  while (length < SetTextLimit && newText[length] != '\0') ++length;
  memmove(text, newText, length);
  text[length] = '\0';
}

uint32_t FixedPath::Length() const { return static_cast<uint32_t>(strnlen(text, TextBytes - 1)); }

Status FixedPath::AppendName(const char* name) {
  if (!name) return StatusOk;
  uint32_t length = Length();
  if (length == 0 || text[length - 1] != '\\') {
    if (length + 1 >= TextBytes) return StatusIoError;  // no room even for the backslash
    text[length++] = '\\';
    text[length] = '\0';
  }
  size_t nameLength = strlen(name);
  if (length + nameLength >= TextBytes) return StatusIoError;
  memcpy(text + length, name, nameLength + 1);
  return StatusOk;
}

Status FixedPath::ReplaceName(const char* name) {
  if (IsEmpty()) {
    SetText(name);
    return StatusOk;
  }
  const char* lastBackslash = strrchr(text, '\\');
  if (!lastBackslash) return StatusIoError;
  uint32_t cut = static_cast<uint32_t>(lastBackslash - text) + 1;
  text[cut] = '\0';
  size_t nameLength = name ? strlen(name) : 0;
  if (cut + nameLength >= TextBytes) return StatusIoError;
  if (name) memcpy(text + cut, name, nameLength + 1);
  return StatusOk;
}

const char* FixedPath::FileNamePart() const {
  const char* name = FileNameOf(text);
  return name > text + 1 && *name != '\0' ? name : nullptr;
}

void FixedPath::RemoveName() {
  uint32_t length = Length();
  if (length == 0 || text[length - 1] == '\\') return;
  for (uint32_t i = length; i-- > 1;) {
    if (text[i] == '\\') {
      text[i + 1] = '\0';
      return;
    }
  }
}

bool FixedPath::ToParent() {
  RemoveName();
  const char* firstBackslash = strchr(text, '\\');
  uint32_t length = Length();
  if (!firstBackslash || static_cast<uint32_t>(firstBackslash - text) == length - 1) return false;
  text[length - 1] = '\0';
  RemoveName();
  return true;
}

bool FixedPath::Exists() const {
  // A run that describes its changes sees what they would leave.
  const PathWouldBe wouldBe = ChangesAreDescribed() ? WhatPathWouldBe(text) : PathWouldBe::AsItIs;
  if (wouldBe != PathWouldBe::AsItIs) return wouldBe == PathWouldBe::File;
  uint32_t attributes;
  return platform::ReadPathAttributes(text, &attributes);
}

bool FixedPath::IsFolder() const {
  if (ChangesAreDescribed() && WhatPathWouldBe(text) != PathWouldBe::AsItIs) return false;
  uint32_t attributes;
  return platform::ReadPathAttributes(text, &attributes) && (attributes & platform::AttributeDirectory);
}

namespace {

constexpr uint32_t PathBytes = FixedPath::TextBytes;  // 259 characters and the terminator

// The length of the program's drive and folder within its file path, the
// folder's closing separator included; just the drive when there is no folder.
size_t FolderPrefixLength(const char* programFile) {
  const char* name = FileNameOf(programFile);
  if (name != programFile) return static_cast<size_t>(name - programFile);
  return programFile[0] != '\0' && programFile[1] == ':' ? 2 : 0;
}

}  // namespace

const char* FileNameOf(const char* path) {
  const char* name = path;
  for (const char* at = path; *at != '\0'; ++at) {
    if (IsPathSeparator(*at)) name = at + 1;
  }
  return name;
}

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

  char joined[PathBytes];
  if (JoinToProgramFolder(fileName, joined)) out.SetText(joined);
  return true;
}

bool JoinToProgramFolder(const char* fileName, char* out) {
  char programFile[PathBytes];
  if (ReadProgramFileName(programFile, PathBytes) == 0) return false;
  size_t folderLength = FolderPrefixLength(programFile);
  size_t fileNameLength = strlen(fileName);
  if (folderLength + fileNameLength >= PathBytes) return false;
  memcpy(out, programFile, folderLength);
  memcpy(out + folderLength, fileName, fileNameLength + 1);
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

void StripTrailingSeparators(char* path) { path[LengthWithoutTrailingSeparators(path)] = '\0'; }

const char* FileExtension(const char* text) {
  const char* end = text + strlen(text);
  for (const char* p = end; p > text;) {
    --p;
    if (*p == '.') return p;
    if (IsPathSeparator(*p) || *p == ':') break;
  }
  return end;
}
