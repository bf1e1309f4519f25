// The folder walk of FileList over FindFirstFileA and the process's current
// directory.
#include <windows.h>

#include <cstring>

#include "foundation/file_list.h"
#include "foundation/final_path.h"
#include "foundation/folder_search_win32.h"
#include "foundation/path_text.h"

namespace {

// The current directory is fetched into this many bytes; a listed path holds
// at most as many characters as FixedPath::SetText keeps.
constexpr DWORD CurrentDirectoryBytes = 256;

// Adds folder + "\" + name when the whole path fits; a cut path would name
// another file. On a failed allocation the file is left out.
void AddFile(FileList& list, const char* folder, const char* name) {
  char path[FixedPath::SetTextLimit + 1];
  if (JoinFolderAndName(folder, name, path, sizeof path)) list.AddPath(path);
}

// Lists the current directory. False when the walk must end because the way
// back up from a subfolder failed.
bool WalkCurrentFolder(FileList& list, bool recurse) {
  char folder[CurrentDirectoryBytes];
  DWORD folderLength = GetCurrentDirectoryA(CurrentDirectoryBytes, folder);
  bool folderFits = folderLength > 0 && folderLength < CurrentDirectoryBytes;

  // Where this folder really lies, read when the first file matches, to
  // tell a file from a link to one elsewhere.
  char folderFinal[FinalPathBytes];
  bool folderFinalAsked = false, folderFinalRead = false;

  FolderSearch search("*.*");
  if (!search.Found()) return true;
  while (search.AtDotEntry()) {
    if (!search.Next()) return true;
  }
  do {
    const WIN32_FIND_DATAA& entry = search.Entry();
    DWORD attributes = entry.dwFileAttributes;
    // A link is neither entered nor listed: it may lead out of the tree or
    // back into it.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    // No Windows name holds "?": here it stands for a character outside the
    // ANSI code page, and the name cannot be opened, checked or loaded
    // through it (it would even match other names as a wildcard).
    if (strchr(entry.cFileName, '?')) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      // "." and ".." are skipped wherever they come, not only first.
      if (!recurse || search.AtDotEntry()) continue;
      // Only a folder actually entered is left again.
      if (!SetCurrentDirectoryA(entry.cFileName)) continue;
      bool goOn = WalkCurrentFolder(list, recurse);
      if (!SetCurrentDirectoryA("..") || !goOn) return false;
    } else if (folderFits && list.Matches(entry.cFileName)) {
      if (!folderFinalAsked) {
        folderFinalAsked = true;
        folderFinalRead = ReadFinalPath(".", folderFinal);
      }
      if (folderFinalRead && LeadsElsewhere(folderFinal, entry.cFileName, entry.cFileName)) continue;
      AddFile(list, folder, entry.cFileName);
    }
  } while (search.Next());
  return true;
}

}  // namespace

Status FileList::ListFiles(const FixedPath& folder, const char* extensionFilter, uint32_t fileTypeCode,
                           bool recurse) {
  SetFilter(extensionFilter);
  char previous[MAX_PATH];
  DWORD previousLength = GetCurrentDirectoryA(MAX_PATH, previous);
  if (!SetCurrentDirectoryA(folder.Text())) return StatusOk;
  WalkCurrentFolder(*this, recurse);
  // Callers remove what they listed, so the listed folder must not stay
  // current; when the previous directory is gone, its parent serves.
  bool restored = previousLength > 0 && previousLength < MAX_PATH && SetCurrentDirectoryA(previous);
  if (!restored) SetCurrentDirectoryA("..");
  return StatusOk;
}
