// RemoveTree over the shell's delete and RemoveDirectoryA.
#include <windows.h>

#include <cstring>

#include "foundation/path_text.h"
#include "foundation/protected_folder.h"
#include "foundation/shell_delete.h"
#include "foundation/tree_links.h"
#include "foundation/tree_removal.h"

namespace {

// The shell's source buffers: zero-filled, so the text ends in the double
// NUL the shell requires.
constexpr size_t SourceBytes = 260;

}  // namespace

Status RemoveTree(const FixedPath& folder, bool removeContents, bool removeFolder) {
  const char* text = folder.Text();
  size_t length = folder.Length();
  if (length == 0 || IsProtectedFolder(folder)) return StatusIoError;

  Status status = StatusOk;
  if (removeContents) {
    char pattern[SourceBytes] = {};
    // The folder, one backslash, "*.*" and two NULs: the last byte is left NUL.
    if (!JoinFolderAndName(text, "*.*", pattern, SourceBytes - 1)) return StatusIoError;
    // The shell's delete may follow links: they go first, each by itself.
    if (!RemoveLinksInTree(text)) return StatusIoError;
    status = ShellDelete(pattern);
  }
  if (!removeFolder) return status;

  char stripped[SourceBytes] = {};
  size_t strippedLength = length;
  while (strippedLength > 0 && text[strippedLength - 1] == '\\') --strippedLength;
  // The folder and two NULs.
  if (strippedLength == 0 || strippedLength + 2 > SourceBytes) return StatusIoError;
  memcpy(stripped, text, strippedLength);
  if (RemoveDirectoryA(stripped)) return status;
  if (!removeContents) return StatusIoError;
  return ShellDelete(stripped) == 0 ? StatusOk : StatusIoError;
}
