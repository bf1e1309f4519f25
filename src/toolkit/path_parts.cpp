#include "toolkit/path_parts.h"

#include <cstring>

#include "foundation/core/paths.h"
#include "toolkit/memory.h"

namespace {

// GetModuleFileNameA is asked for at most this many bytes, terminator included.
constexpr uint32_t ProgramFileNameBytes = 259;

// Copies [begin, end) into a field of fieldBytes; false when it does not fit.
bool CopyPart(char* field, uint32_t fieldBytes, const char* begin, const char* end) {
  size_t length = static_cast<size_t>(end - begin);
  if (length >= fieldBytes) return false;
  memcpy(field, begin, length);
  field[length] = '\0';
  return true;
}

// Collects a path of at most 259 characters; once something does not fit it
// stops reading and remembers the overflow.
class PathJoiner {
 public:
  void Add(char c) {
    if (length_ + 1 >= FixedPath::TextBytes) {
      fits_ = false;
      return;
    }
    text_[length_++] = c;
  }
  void AddText(const char* text) {
    for (; *text && fits_; ++text) Add(*text);
  }
  char Last() const { return length_ ? text_[length_ - 1] : '\0'; }
  bool Fits() const { return fits_; }
  // Copies the joined text, terminated, into the path.
  void StoreIn(FixedPath& path) {
    memcpy(path.text, text_, length_);
    path.text[length_] = '\0';
  }

 private:
  char text_[FixedPath::TextBytes];
  uint32_t length_ = 0;
  bool fits_ = true;
};

// The length of a part, counted no further than a path's limit.
uint32_t BoundedLength(const char* part) {
  return part ? static_cast<uint32_t>(strnlen(part, FixedPath::TextBytes)) : 0;
}

}  // namespace

void ClearPath(FixedPath& path) { path.text[0] = '\0'; }

bool SplitParts(const FixedPath& path, PathParts& out) {
  ZeroBytes(&out, sizeof out);
  const char* text = path.Text();
  const char* end = text + path.Length();
  const char* rest = text;
  if (end - text >= 2 && text[1] == ':') {
    out.drive[0] = text[0];
    out.drive[1] = ':';
    rest += 2;
  }
  const char* nameStart = rest;
  for (const char* p = rest; p < end; ++p) {
    if (IsPathSeparator(*p)) nameStart = p + 1;
  }
  const char* dot = end;
  for (const char* p = nameStart; p < end; ++p) {
    if (*p == '.') dot = p;
  }
  if (CopyPart(out.directory, PathParts::DirectoryBytes, rest, nameStart) &&
      CopyPart(out.name, PathParts::NameBytes, nameStart, dot) &&
      CopyPart(out.extension, PathParts::ExtensionBytes, dot, end)) {
    return true;
  }
  ZeroBytes(&out, sizeof out);
  return false;
}

bool SetFromParts(FixedPath& path, const char* drive, const char* directory, const char* name,
                  const char* extension) {
  uint32_t sum = BoundedLength(drive) + BoundedLength(directory) + BoundedLength(name) +
                 BoundedLength(extension);
  // The parts may point into this very path: join into a buffer of our own.
  PathJoiner joiner;
  if (drive && *drive) {
    joiner.Add(drive[0]);
    joiner.Add(':');
  }
  if (directory && *directory) {
    joiner.AddText(directory);
    if (!IsPathSeparator(joiner.Last())) joiner.Add('\\');
  }
  if (name) joiner.AddText(name);
  if (extension && *extension) {
    if (extension[0] != '.') joiner.Add('.');
    joiner.AddText(extension);
  }
  ClearPath(path);
  // Besides the sum of the parts, the added ":", "\" and "." count too.
  if (sum >= FixedPath::TextBytes || !joiner.Fits()) return false;
  joiner.StoreIn(path);
  return true;
}

bool CopyByParts(FixedPath& path, const FixedPath* other) {
  if (!other) return false;
  PathParts parts;
  if (!SplitParts(*other, parts)) {
    ClearPath(path);
    return false;
  }
  return SetFromParts(path, parts.drive, parts.directory, parts.name, parts.extension);
}

bool FitsPath(const char* name) { return name && BoundedLength(name) < FixedPath::TextBytes; }

bool SetToProgramFile(FixedPath& path, const char* name) {
  if (name) {
    char joined[FixedPath::TextBytes];
    if (!FitsPath(name) || !JoinToProgramFolder(name, joined)) return false;
    memcpy(path.text, joined, strlen(joined) + 1);
    return true;
  }
  char programFile[ProgramFileNameBytes];
  if (ReadProgramFileName(programFile, ProgramFileNameBytes) == 0) return false;
  // At most 258 characters: the whole path fits.
  memcpy(path.text, programFile, strlen(programFile) + 1);
  return true;
}
