// The record of what waits for a restart over the program's settings file
// and the system's pending-rename list.
#include "settings/pending_removal.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/log/operations_log.h"
#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_edit.h"
#include "foundation/profile/profile_file.h"
#include "foundation/trees/restart_removal.h"
#include "installation/registry_key.h"
#include "settings/download_sites.h"

namespace {

// The prefix of the system's own form of a path in the pending-rename list.
constexpr wchar_t PendingPathPrefix[] = L"\\??\\";

// The sources of the pending-rename list (each pair's first text), without
// the prefix; empty when there is no list.
std::vector<std::wstring> PendingRenameSources() {
  std::vector<std::wstring> sources;
  RegistryKey sessionManager;
  std::vector<std::wstring> list;
  if (!sessionManager.OpenForReading(SessionManagerKeyPath) ||
      !sessionManager.ReadWideStringList(PendingRenamesValueName, &list))
    return sources;
  const size_t prefixLength = wcslen(PendingPathPrefix);
  for (size_t at = 0; at < list.size(); at += 2) {
    const std::wstring& source = list[at];
    sources.push_back(source.compare(0, prefixLength, PendingPathPrefix) == 0 ? source.substr(prefixLength) : source);
  }
  return sources;
}

bool IsPending(const std::string& path, const std::vector<std::wstring>& sources) {
  const std::wstring wide = WideOfUtf8(path.c_str());
  for (const std::wstring& source : sources)
    if (_wcsicmp(source.c_str(), wide.c_str()) == 0) return true;
  return false;
}

// The remembered paths, pending or not.
std::vector<std::string> RememberedPaths() {
  std::vector<std::string> paths;
  ProfileDocument document;
  ProfileSection* section = nullptr;
  if (ReadProfile(document, SiteSettingsPath()) != StatusOk ||
      document.FindSection(PendingRemovalSectionName, &section, false) != StatusOk || !section)
    return paths;
  for (int32_t at = 0; at < section->EntryCount(); ++at) {
    ProfileEntry* entry = nullptr;
    if (section->EntryAt(at, &entry) == StatusOk && entry && strcmp(entry->Key(), PendingRemovalKey) == 0)
      paths.push_back(entry->Value());
  }
  return paths;
}

}  // namespace

std::vector<std::string> PendingRemovalPaths() {
  std::vector<std::string> pending;
  const std::vector<std::string> remembered = RememberedPaths();
  if (remembered.empty()) return pending;
  const std::vector<std::wstring> sources = PendingRenameSources();
  for (const std::string& path : remembered)
    if (IsPending(path, sources)) pending.push_back(path);
  return pending;
}

bool RememberPendingRemoval(const std::vector<std::string>& paths) {
  const FixedPath file = SiteSettingsPath();
  if (WriteDefaultSiteSettings(false) != StatusOk) return false;
  const std::vector<std::wstring> sources = PendingRenameSources();
  const std::vector<std::string> remembered = RememberedPaths();
  const Status edited = EditProfileFile(file, [&](std::string& text) {
    bool changed = false;
    for (const std::string& path : remembered)
      if (!IsPending(path, sources))
        changed =
            RemoveProfileTextValues(text, PendingRemovalSectionName, PendingRemovalKey, path.c_str()) > 0 || changed;
    for (const std::string& path : paths) {
      AddProfileTextValue(text, PendingRemovalSectionName, PendingRemovalKey, path.c_str());
      changed = true;
    }
    return changed;
  });
  const std::string what = Quoted(LoggedPath(file.Text()).c_str()) + " [" + PendingRemovalSectionName + "]";
  if (edited != StatusOk) {
    LogEventUtf8(LogEventKind::Failed, "could not record what waits for a restart in " + what);
    return false;
  }
  if (!paths.empty())
    LogChangeUtf8(LogEventKind::Written, "recorded what waits for a restart in " + what,
                  "record what waits for a restart in " + what);
  return true;
}
