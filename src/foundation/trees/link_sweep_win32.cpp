// The link sweep over the wide-character tree walk (so that no name escapes
// it) and a delete disposition set on the link itself.
#include "foundation/trees/link_sweep.h"

#include <windows.h>

#include "foundation/core/code_page.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/what_if.h"
#include "foundation/log/operations_log.h"
#include "foundation/trees/tree_walk_win32.h"

namespace {

// True when link is open on the link itself and not on what it leads to:
// its own attributes, put into attributes, carry the reparse point.
bool IsOnLinkItself(const FileHandle& link, DWORD* attributes) {
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  if (!link.IsOpen() || !GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag))
    return false;
  *attributes = tag.FileAttributes;
  return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool ClearReadOnly(const FileHandle& link, DWORD attributes) {
  FILE_BASIC_INFO basic = {};  // zero times stay as they are
  basic.FileAttributes = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT);
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(link.Get(), FileBasicInfo, &basic, sizeof basic) != 0;
}

// Marks the link for deletion when its handle closes.
bool MarkForDeletion(const FileHandle& link) {
  FILE_DISPOSITION_INFO disposition = {TRUE};
  return SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Removes the link at path, never its target: only through a handle proven to
// be on the link itself (its reparse point not followed).
bool RemoveLinkItself(const wchar_t* path) {
  FileHandle link(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  DWORD attributes = 0;
  if (!IsOnLinkItself(link, &attributes)) return false;
  // A run that describes its changes only tries whether the link can be
  // had by itself.
  if (ChangesAreDescribed()) return true;
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !ClearReadOnly(link, attributes)) return false;
  return MarkForDeletion(link);
}

// The link as removed: noted for a run that describes its changes, and logged.
void ReportLinkRemoved(const WidePath& path) {
  const std::string readable = ReadableUtf8(path);
  if (ChangesAreDescribed()) NoteRemovedPath(DisplayAnsiOfUtf8(readable.c_str()).c_str());
  const std::string what = "link " + Quoted(readable.c_str()) + " (not what it leads to)";
  LogChangeUtf8(LogEventKind::Removed, "removed " + what, "remove " + what);
}

struct Sweep {
  std::vector<std::wstring>* unlisted;
  bool linkStays = false;
};

// Removes each link the walk finds; a link that stays ends the walk.
bool RemoveEachLink(void* context, const TreeEntry& entry) {
  if (!entry.isLink) return true;
  if (!RemoveLinkItself(entry.path.Text())) {
    static_cast<Sweep*>(context)->linkStays = true;
    return false;
  }
  ReportLinkRemoved(entry.path);
  return true;
}

void KeepUnlisted(void* context, const WidePath& folder, DWORD) {
  static_cast<Sweep*>(context)->unlisted->push_back(std::wstring(folder.Text(), folder.Length()));
}

}  // namespace

LinkSweep RemoveLinksInTree(const char* folder, std::vector<std::wstring>* unlisted) {
  if (!folder || !*folder) return LinkSweep::NotWalked;
  // A folder that does not exist holds no links.
  if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return LinkSweep::Swept;
  Sweep sweep;
  sweep.unlisted = unlisted;
  if (WalkTree(folder, RemoveEachLink, &sweep, KeepUnlisted)) return LinkSweep::Swept;
  return sweep.linkStays ? LinkSweep::LinkStays : LinkSweep::NotWalked;
}

bool FolderIsLink(const char* folder) {
  WidePath path;
  return folder && path.SetFromAnsi(folder) && !WouldBeGone(path) && IsLinkedFolder(path);
}

bool RemoveFolderLink(const char* folder) {
  WidePath path;
  if (!folder || !path.SetFromAnsi(folder) || !RemoveLinkItself(path.Text())) return false;
  ReportLinkRemoved(path);
  return true;
}
