// Safe replacement over kernel32: MoveFileExA with MOVEFILE_REPLACE_EXISTING
// and MOVEFILE_WRITE_THROUGH. (ReplaceFileA is not used: under Wine it is not
// one step, and it refuses a read-only target.)
#include "foundation/files/file_replacement.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/core/what_if.h"
#include "foundation/files/file_stream.h"
#include "foundation/files/folder_listing.h"
#include "foundation/log/operations_log.h"

namespace {

// The names CreateSiblingFile gives: "~pf", eight hexadecimal digits, ".tmp".
constexpr char SiblingPrefix[] = "~pf";
constexpr char SiblingExtension[] = ".tmp";
constexpr size_t SiblingHexDigits = 8;

// Candidate names tried before giving up; each is new or already taken.
constexpr int SiblingNameAttempts = 64;
// Attempts to move over a target that another program holds open, and the
// wait before the first retry, doubled for each later one (at most about a
// third of a second in all).
constexpr int MoveAttempts = 5;
constexpr DWORD FirstRetryWaitMs = 20;

}  // namespace

bool MoveMayClearUp(uint32_t error, bool targetIsFolder) {
  // A folder is never replaced by a file, whatever the error says; the
  // access denied it gives is the same as for a file held open.
  if (targetIsFolder) return false;
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

bool IsSiblingFileName(const char* name) {
  if (strncmp(name, SiblingPrefix, sizeof SiblingPrefix - 1) != 0) return false;
  const char* digits = name + sizeof SiblingPrefix - 1;
  for (size_t i = 0; i < SiblingHexDigits; ++i)
    if (!isxdigit(static_cast<unsigned char>(digits[i]))) return false;
  return strcmp(digits + SiblingHexDigits, SiblingExtension) == 0;
}

Status CreateSiblingFile(const FixedPath& target, FixedPath* created) {
  static DWORD sequence = 0;
  const DWORD seed = (GetCurrentProcessId() << 12) ^ GetTickCount();
  for (int attempt = 0; attempt < SiblingNameAttempts; ++attempt) {
    char name[16];
    snprintf(name, sizeof name, "~pf%08lX.tmp", static_cast<unsigned long>(seed + sequence++));
    *created = target;
    if (created->ReplaceName(name) != StatusOk) {
      if (strchr(target.Text(), '\\')) return StatusIoError;  // the path would be too long
      created->SetText(name);  // a bare file name: the current folder
    }
    FileStream file(*created);
    if (file.Create(FourCharacterCode("QFX_"), FourCharacterCode("TEXT")) == StatusOk) {
      return StatusOk;
    }
    // A taken name is tried again under the next one; a folder that refuses
    // new files refuses every name, which the attempts bound.
  }
  return StatusIoError;
}

int RemoveStaleSiblingFiles(const FixedPath& target) {
  // The folder with its trailing backslash; a bare name is in the current folder.
  FixedPath folder = target;
  folder.RemoveName();
  if (!strchr(folder.Text(), '\\')) folder.SetText(".\\");
  FileList files;
  files.ListFiles(folder, SiblingExtension, 0, false);
  int removed = 0;
  for (const PathNode* node = files.First(); node; node = node->next) {
    // A file held open by a writer refuses to go (sharing violation).
    if (!IsSiblingFileName(node->path.FileNamePart())) continue;
    // A run that describes its changes tries nothing: it names the file.
    if (ChangesAreDescribed()) {
      NoteRemovedPath(node->path.Text());
    } else if (!DeleteFileA(node->path.Text())) {
      continue;
    }
    const std::string what = "the stale temporary file " + Quoted(node->path.Text()) + " of an interrupted write";
    LogChange(LogEventKind::Removed, "removed " + what, "remove " + what);
    ++removed;
  }
  files.ClearFileList();
  return removed;
}

Status MoveIntoPlace(const FixedPath& source, const FixedPath& target) {
  const DWORD attributes = GetFileAttributesA(target.Text());
  const bool targetIsFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && !targetIsFolder &&
                        (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) {
    const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
    SetFileAttributesA(target.Text(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
  }

  DWORD wait = FirstRetryWaitMs;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(source.Text(), target.Text(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return StatusOk;
    }
    if (attempt == MoveAttempts || !MoveMayClearUp(GetLastError(), targetIsFolder)) break;
    Sleep(wait);
    wait *= 2;
  }
  if (readOnly) SetFileAttributesA(target.Text(), attributes);
  return StatusIoError;
}
