// RemoveTree over the shell's delete and RemoveDirectoryA, after the link
// sweep.
#include "foundation/trees/tree_removal.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/core/what_if.h"
#include "foundation/files/folder_search_win32.h"
#include "foundation/log/operations_log.h"
#include "foundation/trees/link_sweep.h"
#include "foundation/trees/protected_folders.h"
#include "foundation/trees/shell_delete.h"
#include "foundation/trees/tree_contents.h"
#include "foundation/trees/tree_walk_win32.h"

namespace {

// The shell's source buffers: zero-filled, so the text ends in the double
// NUL the shell requires.
constexpr size_t SourceBytes = 260;

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

// Where an entry of a tree lies among the folders that could not be listed.
enum class Placement {
  Apart,          // neither one of them nor above one
  Unlisted,       // one of them: it stays with what it holds
  AboveUnlisted,  // it holds one: it stays, what else it holds may go
};

Placement PlacementOf(const WidePath& path, const std::vector<std::wstring>& unlisted) {
  const size_t length = path.Length();
  Placement placement = Placement::Apart;
  for (const std::wstring& folder : unlisted) {
    if (folder.compare(0, length, path.Text(), length) != 0) continue;
    if (folder.size() == length) return Placement::Unlisted;
    if (folder[length] == L'\\') placement = Placement::AboveUnlisted;
  }
  return placement;
}

// Removes one entry of a tree whose links are swept, found at path: a
// folder with all it holds, or a file. An entry the ANSI calls cannot name
// stays, and the report of what was kept names it.
void RemoveEntry(const WidePath& path, bool isFolder) {
  std::string ansi;
  if (!AnsiPathOf(WideOfUtf8(ReadableUtf8(path).c_str()).c_str(), &ansi) || ansi.size() > FixedPath::SetTextLimit)
    return;
  FixedPath entry;
  entry.SetText(ansi.c_str());
  if (isFolder) {
    RemoveTree(entry, true, true);
  } else {
    RemoveFile(entry);
  }
}

// Removes what the folder at path holds, each entry by itself, except the
// folders that could not be listed and the folders above them, which stay.
void RemoveAroundUnlisted(WidePath& path, const std::vector<std::wstring>& unlisted) {
  const uint32_t length = path.Length();
  if (!path.Append(L"*")) return;
  FolderSearch search(path.Text());
  path.Cut(length);
  if (!search.Found()) return;
  do {
    if (search.AtDotEntry() || !path.Append(search.Name())) continue;
    if (!WouldBeGone(path)) {
      switch (PlacementOf(path, unlisted)) {
        case Placement::Apart:
          RemoveEntry(path, search.AtFolder());
          break;
        case Placement::Unlisted:
          break;
        case Placement::AboveUnlisted:
          RemoveAroundUnlisted(path, unlisted);
          break;
      }
    }
    path.Cut(length);
  } while (search.Next());
}

// What was removed or kept, for the log: the folder itself or its contents.
std::string Removal(bool removeFolder, const std::string& shown) {
  return (removeFolder ? "folder " : "the contents of ") + shown;
}

// The removal of a tree in which some folders could not be listed: what may
// be removed safely goes, those folders and the folders above them stay
// (folder too), and the log says why. Always StatusIoError.
Status RemoveAroundUnlistedFolders(const FixedPath& folder, bool removeFolder, const std::string& shown,
                                   const std::vector<std::wstring>& unlisted) {
  WidePath root;
  if (root.SetFromAnsi(folder.Text()) && PlacementOf(root, unlisted) == Placement::AboveUnlisted)
    RemoveAroundUnlisted(root, unlisted);
  LogEventUtf8(LogEventKind::Failed, "could not remove " + Removal(removeFolder, shown));
  LogFilesKept(folder.Text());
  return StatusIoError;
}

}  // namespace

Status RemoveTree(const FixedPath& folder, bool removeContents, bool removeFolder) {
  if (folder.Length() == 0) return StatusIoError;
  // The folder by its true name, read while it is still there.
  const std::string shown = LogIsOpen() ? QuotedFolder(LoggedPath(folder.Text()).c_str()) : std::string();
  const auto refuse = [&shown](const char* why) {
    LogEventUtf8(LogEventKind::Refused, "refused to remove " + shown + ": " + why);
    return StatusIoError;
  };
  if (IsProtectedFolder(folder)) return refuse("a protected folder (a drive root, the Windows folder or a shared folder)");
  // A folder that is itself a link goes as the link, never through it: the
  // shell's delete and RemoveDirectoryA may reach what it leads to.
  if (FolderIsLink(folder.Text())) {
    if (!removeFolder) return refuse("it is a link; what it leads to is kept");
    if (RemoveFolderLink(folder.Text())) return StatusOk;
    return refuse("it is a link that cannot be removed by itself; what it leads to is kept");
  }
  char pattern[SourceBytes] = {};
  std::vector<std::wstring> unlisted;
  if (removeContents) {
    // The folder, one backslash, "*.*" and two NULs: the last byte is left NUL.
    if (!JoinFolderAndName(folder.Text(), "*.*", pattern, SourceBytes - 1)) return refuse("its path is too long");
    // The shell's delete may follow links: every link inside goes first,
    // each by itself.
    switch (RemoveLinksInTree(folder.Text(), &unlisted)) {
      case LinkSweep::Swept:
        break;
      case LinkSweep::LinkStays:
        return refuse("it holds a link that cannot be removed by itself");
      case LinkSweep::NotWalked:
        return refuse("its tree cannot be examined");
    }
    // What a folder that cannot be listed holds was not seen: the shell never
    // gets it, nor a folder above it.
    if (!unlisted.empty()) return RemoveAroundUnlistedFolders(folder, removeFolder, shown, unlisted);
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
    const std::string what = Removal(removeFolder, shown);
    LogChangeUtf8(LogEventKind::Removed, "removed " + what, "remove " + what);
  } else {
    LogEventUtf8(LogEventKind::Failed, "could not remove " + Removal(removeFolder, shown));
    LogFilesKept(folder.Text());
  }
  return status;
}

bool RemoveFile(const FixedPath& file) {
  char source[FixedPath::TextBytes + 1] = {};  // the path and the shell's two NULs
  if (!file.Exists()) return true;
  memcpy(source, file.Text(), file.Length());
  // Wine's shell refuses a read-only file it is given by name (Windows's
  // deletes it): the attribute goes first, and comes back if the file stays.
  const DWORD attributes = ChangesAreDescribed() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(file.Text());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  if (readOnly) SetFileAttributesA(file.Text(), attributes & ~FILE_ATTRIBUTE_READONLY);
  ShellDelete(source);
  const std::string what = "file " + Quoted(LoggedPath(file.Text()).c_str());
  if (file.Exists()) {
    if (readOnly) SetFileAttributesA(file.Text(), attributes);
    LogEventUtf8(LogEventKind::Failed, "could not remove " + what);
    return false;
  }
  LogChangeUtf8(LogEventKind::Removed, "removed " + what, "remove " + what);
  return true;
}
