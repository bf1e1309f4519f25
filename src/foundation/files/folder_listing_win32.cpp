// The folder walk of FileList over the wide-character folder search and the
// process's current directory.
#include "foundation/files/folder_listing.h"

#include <windows.h>

#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/final_path_win32.h"
#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/core/system_path_win32.h"
#include "foundation/core/what_if.h"
#include "foundation/files/folder_search_win32.h"
#include "foundation/log/operations_log.h"

namespace {

// The current directory is fetched into this many bytes; a listed path holds
// at most as many characters as FixedPath::SetTextLimit keeps.
constexpr DWORD CurrentDirectoryBytes = 256;

// Adds folder + "\" + name when the whole path fits; a cut path would name
// another file. On a failed allocation the file is left out. A file that a
// run describing its changes would have removed is not listed.
void AddFile(FileList& list, const char* folder, const char* name) {
  char path[FixedPath::SetTextLimit + 1];
  if (!JoinFolderAndName(folder, name, path, sizeof path)) return;
  if (ChangesAreDescribed() && WhatPathWouldBe(path) == PathWouldBe::Gone) return;
  list.AddPath(path);
}

// The true full path of the entry name of the current directory, for the
// log and the list of entries left out.
std::string TrueEntryPath(const char* folder, const wchar_t* name) {
  std::string path = TruePathUtf8(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) path += '\\';
  return path + Utf8OfWide(name);
}

// An entry no ANSI call can reach: a file the filter passes is named in the
// list and the log, a folder in the log.
void LeaveOut(FileList& list, const char* folder, const FolderSearch& search) {
  if (!search.AtFolder() && !list.Matches(Utf8OfWide(search.Name()).c_str())) return;
  const std::string path = TrueEntryPath(folder, search.Name());
  if (!search.AtFolder()) list.AddLeftOut(path);
  LogEventUtf8(std::string("left out ") + (search.AtFolder() ? "folder " : "file ") + Quoted(path.c_str()) +
               ": the ANSI code page cannot hold its name and the volume keeps no short name for it");
}

// Lists the current directory. False when the walk must end because the way
// back up from a subfolder failed.
bool WalkCurrentFolder(FileList& list, bool recurse) {
  char folder[CurrentDirectoryBytes];
  DWORD folderLength = GetCurrentDirectoryA(CurrentDirectoryBytes, folder);
  bool folderFits = folderLength > 0 && folderLength < CurrentDirectoryBytes;

  // Where this folder really lies, read when the first file matches, to
  // tell a file from a link to one elsewhere.
  std::wstring folderFinal;
  bool folderFinalAsked = false, folderFinalRead = false;

  FolderSearch search(L"*");
  if (!search.Found()) return true;
  do {
    // "." and ".." are skipped wherever they come, not only first.
    if (search.AtDotEntry()) continue;
    // A link is neither entered nor listed: it may lead out of the tree or
    // back into it.
    if (search.AtReparsePoint()) continue;
    std::string name;
    const AnsiReach reach = AnsiNameOf(search.Name(), search.Entry().cAlternateFileName, &name);
    if (reach == AnsiReach::None) {
      if ((recurse || !search.AtFolder()) && folderFits) LeaveOut(list, folder, search);
      continue;
    }
    if (search.AtFolder()) {
      if (!recurse) continue;
      // Only a folder actually entered is left again.
      if (!SetCurrentDirectoryA(name.c_str())) continue;
      bool goOn = WalkCurrentFolder(list, recurse);
      if (!SetCurrentDirectoryA("..") || !goOn) return false;
      continue;
    }
    // The filter sees the name as stored: a short name may end otherwise
    // ("x.dllx" is "X~1.DLL").
    const std::string storedName = reach == AnsiReach::ShortName ? Utf8OfWide(search.Name()) : name;
    if (!folderFits || !list.Matches(storedName.c_str())) continue;
    if (!folderFinalAsked) {
      folderFinalAsked = true;
      folderFinalRead = ReadFinalPath(L".", &folderFinal);
    }
    if (folderFinalRead && LeadsElsewhere(folderFinal, search.Name(), search.Name())) continue;
    AddFile(list, folder, name.c_str());
  } while (search.Next());
  return true;
}

// The process's current directory moved to a folder for as long as the
// owner lives, and put back on every path out. Callers remove what they
// listed, so the listed folder must not stay current: when the previous
// directory is gone, its parent serves.
class CurrentFolderChange {
 public:
  explicit CurrentFolderChange(const char* folder)
      : previous_(ReadSystemPath([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); })),
        made_(SetCurrentDirectoryA(folder) != FALSE) {}
  ~CurrentFolderChange() {
    if (made_ && (previous_.empty() || !SetCurrentDirectoryW(previous_.c_str()))) SetCurrentDirectoryW(L"..");
  }
  CurrentFolderChange(const CurrentFolderChange&) = delete;
  CurrentFolderChange& operator=(const CurrentFolderChange&) = delete;

  bool Made() const { return made_; }

 private:
  std::wstring previous_;
  bool made_;
};

}  // namespace

Status FileList::ListFiles(const FixedPath& folder, const char* extensionFilter, uint32_t fileTypeCode,
                           bool recurse) {
  SetFilter(extensionFilter);
  leftOut_.clear();
  if (ChangesAreDescribed() && !folder.IsFolder()) return StatusOk;
  const CurrentFolderChange listed(folder.Text());
  if (!listed.Made()) return StatusOk;
  WalkCurrentFolder(*this, recurse);
  return StatusOk;
}

bool IsLinkInFolder(const char* folder, const char* name) {
  char entryPath[MAX_PATH];
  if (!JoinFolderAndName(folder, name, entryPath, sizeof entryPath)) return true;
  DWORD attributes = GetFileAttributesA(entryPath);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  std::wstring folderFinal;
  return ReadFinalPath(WideOfAnsi(folder).c_str(), &folderFinal) &&
         LeadsElsewhere(folderFinal, WideOfAnsi(entryPath).c_str(), WideOfAnsi(name).c_str());
}
