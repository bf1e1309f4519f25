// Removal at restart over MoveFileExW with MOVEFILE_DELAY_UNTIL_REBOOT, the
// one place that adds to the pending-rename list.
#include "foundation/trees/restart_removal.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/core/platform_win32.h"
#include "foundation/core/what_if.h"
#include "foundation/log/operations_log.h"
#include "foundation/trees/link_sweep.h"
#include "foundation/trees/protected_folders.h"
#include "foundation/trees/tree_walk_win32.h"

namespace {

// One entry of a tree that is left to remove.
struct LeftEntry {
  std::wstring path;  // extended-length
  std::string shown;  // UTF-8, as people read it
  bool isFolder;
  size_t depth;
};

struct TreeLeft {
  std::vector<LeftEntry> entries;
  bool linkFound = false;
  bool unlistedFound = false;
};

bool AddLeftEntry(void* context, const TreeEntry& entry) {
  TreeLeft& left = *static_cast<TreeLeft*>(context);
  if (entry.isLink) {
    left.linkFound = true;
    return false;
  }
  const std::wstring path(entry.path.Text(), entry.path.Length());
  left.entries.push_back({path, ReadableUtf8(entry.path),
                          (entry.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                          static_cast<size_t>(std::count(path.begin(), path.end(), L'\\'))});
  return true;
}

void NoteUnlisted(void* context, const WidePath&, DWORD) { static_cast<TreeLeft*>(context)->unlistedFound = true; }

bool WideHeldAgainstDeletion(const wchar_t* path) {
  OwnedHandle entry(CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return !entry.IsOpen() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// Ends the walk at the first entry held against deletion; context is a bool
// set to whether one was found.
bool FindHeldEntry(void* context, const TreeEntry& entry) {
  if (!WideHeldAgainstDeletion(entry.path.Text())) return true;
  *static_cast<bool*>(context) = true;
  return false;
}

// Whether folder holds one of the paths (each without a trailing backslash).
bool HoldsAny(const std::wstring& folder, const std::vector<std::wstring>& paths) {
  for (const std::wstring& path : paths)
    if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == L'\\')
      return true;
  return false;
}

// Schedules the entry at path (wide, extended-length), shown as shown.
bool Schedule(const wchar_t* path, const std::string& shown, std::vector<std::string>* scheduled) {
  const std::string what = Quoted(shown.c_str()) + " for removal at restart";
  if (!ChangesAreDescribed() && !MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    LogEventUtf8(LogEventKind::Failed,
                 "could not schedule " + what + " (error " + std::to_string(GetLastError()) + ")");
    return false;
  }
  LogChangeUtf8(LogEventKind::Scheduled, "scheduled " + what, "schedule " + what);
  if (scheduled) scheduled->push_back(shown);
  return true;
}

// Removes the entry now; false when it stays. A run that describes its
// changes foretells it: an entry held against deletion stays, and so does a
// folder that holds one that stays (kept).
bool RemoveNow(const LeftEntry& entry, const std::vector<std::wstring>& kept) {
  const bool removed =
      ChangesAreDescribed()
          ? !WideHeldAgainstDeletion(entry.path.c_str()) && !(entry.isFolder && HoldsAny(entry.path, kept))
          : (entry.isFolder ? RemoveDirectoryW(entry.path.c_str()) : DeleteFileW(entry.path.c_str()));
  const std::string what = (entry.isFolder ? "folder " : "file ") + Quoted(entry.shown.c_str());
  if (removed) LogChangeUtf8(LogEventKind::Removed, "removed " + what, "remove " + what);
  return removed;
}

}  // namespace

bool HeldAgainstDeletion(const FixedPath& path) {
  WidePath wide;
  return wide.SetFromAnsi(path.Text()) && WideHeldAgainstDeletion(wide.Text());
}

bool TreeHoldsEntryHeldAgainstDeletion(const FixedPath& folder) {
  if (HeldAgainstDeletion(folder)) return true;
  bool found = false;
  WalkTree(folder.Text(), FindHeldEntry, &found);
  return found;
}

bool MayScheduleAtRestart() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators))
    return false;
  BOOL member = FALSE;
  const bool checked = CheckTokenMembership(nullptr, administrators, &member);
  FreeSid(administrators);
  return checked && member;
}

bool ScheduleRemovalAtRestart(const FixedPath& path, std::vector<std::string>* scheduled) {
  WidePath wide;
  if (!wide.SetFromAnsi(path.Text())) return false;
  return Schedule(wide.Text(), ReadableUtf8(wide), scheduled);
}

bool RemoveTreeNowOrAtRestart(const FixedPath& folder, std::vector<std::string>* scheduled) {
  WidePath root;
  if (!root.SetFromAnsi(folder.Text())) return false;
  const std::string shown = ReadableUtf8(root);
  const auto refuse = [&shown](const char* why) {
    LogEventUtf8(LogEventKind::Refused,
                 "refused to schedule " + QuotedFolder(shown.c_str()) + " for removal at restart: " + why);
    return false;
  };
  if (IsProtectedFolder(folder))
    return refuse("a protected folder (a drive root, the Windows folder or a shared folder)");
  if (FolderIsLink(folder.Text())) return refuse("it is a link; what it leads to is kept");
  if (!MayScheduleAtRestart()) return refuse("scheduling needs an administrator's rights");
  TreeLeft left;
  const bool walked = WalkTree(folder.Text(), AddLeftEntry, &left, NoteUnlisted);
  if (left.linkFound) return refuse("it holds a link");
  if (left.unlistedFound || !walked) return refuse("a folder of it cannot be listed");
  // The deepest first: a folder's files and folders before the folder.
  std::stable_sort(left.entries.begin(), left.entries.end(),
                   [](const LeftEntry& a, const LeftEntry& b) { return a.depth > b.depth; });
  left.entries.push_back({std::wstring(root.Text(), root.Length()), shown, true, 0});
  bool finished = true;
  std::vector<std::wstring> kept;
  for (const LeftEntry& entry : left.entries) {
    if (RemoveNow(entry, kept)) continue;
    kept.push_back(entry.path);
    if (!Schedule(entry.path.c_str(), entry.shown, scheduled)) finished = false;
  }
  return finished;
}
