#include "foundation/fixed_path.h"

#include <cstring>

#include "foundation/platform.h"

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
  uint32_t length = Length();
  for (uint32_t i = length; i-- > 1;) {
    if (text[i] == '\\') return i + 1 < length ? text + i + 1 : nullptr;
  }
  return nullptr;
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
  uint32_t attributes;
  return platform::ReadPathAttributes(text, &attributes);
}

bool FixedPath::IsFolder() const {
  uint32_t attributes;
  return platform::ReadPathAttributes(text, &attributes) && (attributes & platform::AttributeDirectory);
}
