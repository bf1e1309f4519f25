// RemoveTree over the shell's delete and RemoveDirectoryA, after the link
// sweep.
#include "foundation/trees/tree_removal.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/trees/link_sweep.h"
#include "foundation/log/operations_log.h"
#include "foundation/core/paths.h"
#include "foundation/trees/protected_folders.h"
#include "foundation/trees/shell_delete.h"
#include "foundation/trees/tree_contents.h"
#include "foundation/core/what_if.h"

namespace {

// The shell's source buffers: zero-filled, so the text ends in the double
// NUL the shell requires.
constexpr size_t SourceBytes = 260;

// Makes folder ready for the shell's delete: its contents' pattern into
// pattern (SourceBytes) and, since the shell's delete may follow links, every
// link inside it removed first, each by itself. Returns why folder may not be
// removed, or none: a protected folder, a pattern that would not fit, or a
// link that cannot be removed by itself.
const char* PrepareRemoval(const FixedPath& folder, bool removeContents, char* pattern) {
  if (IsProtectedFolder(folder)) return "a protected folder (a drive root, the Windows folder or a shared folder)";
  if (!removeContents) return nullptr;
  // The folder, one backslash, "*.*" and two NULs: the last byte is left NUL.
  if (!JoinFolderAndName(folder.Text(), "*.*", pattern, SourceBytes - 1)) return "its path is too long";
  if (!RemoveLinksInTree(folder.Text())) return "it holds a link that cannot be removed by itself";
  return nullptr;
}

// The removal itself, once nothing refuses it; pattern names the contents.
Status RemoveTreeSteps(const FixedPath& folder, bool removeContents, bool removeFolder, const char* pattern) {
  Status status = removeContents ? ShellDelete(pattern) : StatusOk;
  if (!removeFolder) return status;

  char stripped[SourceBytes] = {};
  const size_t strippedLength = LengthWithoutTrailingSeparators(folder.Text(), folder.Length());
  // The folder and two NULs.
  if (strippedLength == 0 || strippedLength + 2 > SourceBytes) return StatusIoError;
  memcpy(stripped, folder.Text(), strippedLength);
  if (RemoveDirectoryA(stripped)) return status;
  if (!removeContents) return StatusIoError;
  return ShellDelete(stripped) == 0 ? StatusOk : StatusIoError;
}

}  // namespace

Status RemoveTree(const FixedPath& folder, bool removeContents, bool removeFolder) {
  if (folder.Length() == 0) return StatusIoError;
  // The folder by its true name, read while it is still there.
  const std::string shown = LogIsOpen() ? QuotedFolder(LoggedPath(folder.Text()).c_str()) : std::string();
  char pattern[SourceBytes] = {};
  if (const char* refusal = PrepareRemoval(folder, removeContents, pattern)) {
    LogEventUtf8(LogEventKind::Refused, "refused to remove " + shown + ": " + refusal);
    return StatusIoError;
  }
  // A run that describes its changes removes nothing: the folder is gone
  // for the rest of the run only.
  const bool describing = ChangesAreDescribed();
  if (describing) {
    // Under the name it was given (a short form, for a name outside the
    // code page) and under its true name, which the tree walks see.
    const std::string trueName = DisplayAnsiOfUtf8(TruePathUtf8(folder.Text()).c_str());
    for (const char* name : {folder.Text(), trueName.c_str()}) {
      if (removeFolder) {
        NoteRemovedPath(name);
      } else {
        NoteRemovedContents(name);
      }
    }
  }
  const Status status = describing ? StatusOk : RemoveTreeSteps(folder, removeContents, removeFolder, pattern);
  if (!LogIsOpen()) return status;
  if (status == StatusOk || !folder.Exists()) {
    const std::string what = (removeFolder ? "folder " : "the contents of ") + shown;
    LogChangeUtf8(LogEventKind::Removed, "removed " + what, "remove " + what);
  } else {
    LogEventUtf8(LogEventKind::Failed, "could not remove " + std::string(removeFolder ? "folder " : "the contents of ") + shown);
    LogFilesKept(folder.Text());
  }
  return status;
}
