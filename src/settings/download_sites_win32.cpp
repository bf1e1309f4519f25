#include "settings/download_sites.h"

#include <cstring>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/files/file_replacement.h"
#include "foundation/log/operations_log.h"
#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_edit.h"
#include "foundation/profile/profile_file.h"
#include "foundation/profile/profile_values.h"
#include "installation/installation.h"
#include "installation/settings_lock.h"

TypedArray<String> SiteList;

namespace {

// Copies text into a buffer of bytes bytes, cut to fit; no buffer is left alone.
void CopyBounded(char* buffer, uint32_t bytes, const char* text) {
  if (!buffer || bytes == 0) return;
  const size_t length = strnlen(text, bytes - 1);
  memcpy(buffer, text, length);
  buffer[length] = '\0';
}

}  // namespace

FixedPath SiteSettingsPath() {
  FixedPath path;
  ProgramFilePath(path, SiteSettingsFileName);
  return path;
}

Status WriteDefaultSiteSettings(bool force) { return WriteDefaultSiteSettingsAt(SiteSettingsPath(), force); }

Status WriteDefaultSiteSettingsAt(const FixedPath& path, bool force) {
  if (path.IsEmpty()) return StatusIoError;
  // The usual case, a file that is there, needs no lock (and never waits for
  // one): the window checks it at every start.
  if (!force && path.Exists()) return StatusOk;
  SettingsLock lock;
  if (!lock.Held()) return StatusIoError;
  if (!force && path.Exists()) return StatusOk;
  RemoveStaleSiblingFiles(path);
  ProfileDocument document;
  if (!BuildDefaultSiteSettings(document)) return StatusNoMemory;
  const Status written = WriteProfile(document, path);
  const std::string what = Quoted(LoggedPath(path.Text()).c_str()) + " with the built-in sites";
  if (written == StatusOk) {
    LogChangeUtf8(LogEventKind::Written, "made " + what, "make " + what);
  } else {
    LogEventUtf8(LogEventKind::Failed, "could not make " + what);
  }
  return written;
}

bool ReadConfiguredSite(const FixedPath& settings, const char* key, const char* builtIn,
                        char (&site)[SiteBufferBytes]) {
  // One byte more than the site may take shows a value that had to be cut:
  // a cut URL names some other place, so such a value counts as missing.
  char value[SiteBufferBytes + 1];
  if (!settings.IsEmpty() && GetProfileValue(settings, SiteValuesSectionName, key, value, sizeof value) &&
      strlen(value) < SiteBufferBytes) {
    memcpy(site, value, strlen(value) + 1);
    return true;
  }
  CopyBounded(site, sizeof site, builtIn);
  return false;
}

bool BetaSiteSettings(char* valueName, uint32_t valueNameBytes, char* site, uint32_t siteBytes) {
  CopyBounded(valueName, valueNameBytes, AdditionalDownloadUrlValueName);
  char configured[SiteBufferBytes];
  const bool fromFile = ReadConfiguredSite(SiteSettingsPath(), BetaSiteKey, BuiltInBetaSite, configured);
  CopyBounded(site, siteBytes, configured);
  return fromFile;
}

Status ReadSites(const FixedPath& path, TypedArray<String>& list) {
  list.ClearArray();
  ProfileDocument document;
  const Status read = ReadProfile(document, path);
  if (ReadForbidsRewrite(read, path)) return read;
  if (read == StatusOpenFailed) return StatusNotFound;
  return CollectSites(document, list);
}

bool LoadSiteList(const FixedPath& path, TypedArray<String>& list) { return ReadSites(path, list) == StatusOk; }

bool SaveSiteList(const FixedPath& path, const TypedArray<String>& list) {
  ProfileDocument document;
  // The file's other sections must survive: a file that exists but cannot be
  // read whole is left alone rather than replaced by the part that was read.
  const Status read = ReadProfile(document, path);
  if (ReadForbidsRewrite(read, path)) return false;
  if (!PutSites(document, list)) return false;
  return WriteProfile(document, path) >= 0;
}

namespace {

// Tells the log what an edit of the site list did: changed says whether the
// site was added or removed, rather than found as it was.
void LogSiteEdit(bool written, bool add, bool changed, const char* site, const FixedPath& file) {
  if (!LogIsOpen()) return;
  const std::string shownSite = Quoted(Utf8OfAnsi(site).c_str());
  const std::string shownFile = TruePathUtf8(file.Text());
  if (!written) {
    LogfUtf8(LogEventKind::Failed, "could not %s site %s %s \"%s\"", add ? "add" : "remove", shownSite.c_str(), add ? "to" : "from",
             shownFile.c_str());
  } else if (changed) {
    const std::string what = "site " + shownSite + (add ? " to " : " from ") + Quoted(shownFile.c_str());
    LogChangeUtf8(add ? LogEventKind::Written : LogEventKind::Removed, (add ? "added " : "removed ") + what, (add ? "add " : "remove ") + what);
  } else {
    LogfUtf8("site %s %s \"%s\"; nothing to change", shownSite.c_str(), add ? "is already in" : "is not in",
             shownFile.c_str());
  }
}

}  // namespace

int32_t EditSiteList(const char* site, bool add) {
  if (!site) site = "";
  SettingsLock lock;
  if (!lock.Held()) return 1;
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return 0;
  if (file.AppendName(DownloadSitesFileName) != StatusOk) return 1;
  // The list follows the file: when the file is gone, so are its sites. A
  // file that cannot be read whole is not written from the part that was.
  const Status loaded = ReadSites(file, SiteList);
  if (loaded != StatusOk && loaded != StatusNotFound) {
    LogfUtf8(LogEventKind::Refused, "refused to change \"%s\": it cannot be read whole (status %ld), and what was read must not replace it",
             LoggedPath(file.Text()).c_str(), static_cast<long>(loaded));
    return 1;
  }
  char configured[SiteBufferBytes];
  if (strcmp(site, DefaultSiteWord) == 0) {
    ReadConfiguredSite(SiteSettingsPath(), DefaultSiteKey, BuiltInDefaultSite, configured);
    site = configured;
  }
  RemoveStaleSiblingFiles(file);
  if (loaded == StatusNotFound && !file.Exists()) {
    // A missing list is made in the writer's form.
    if (add && !AddSite(SiteList, site)) return 1;
    const bool saved = SaveSiteList(file, SiteList);
    const bool siteAdded = add && *site;
    // A list made without the site is a change of its own: say so.
    if (saved && !siteAdded && LogIsOpen()) {
      const std::string made = Quoted(TruePathUtf8(file.Text()).c_str()) + " with no site";
      LogChangeUtf8(LogEventKind::Written, "made " + made, "make " + made);
    }
    LogSiteEdit(saved, add, siteAdded, site, file);
    return saved ? 0 : 1;
  }
  // The list file as it is, with the one site's line added or removed.
  const bool listed = ListsSite(SiteList, site);
  const Status edited = EditProfileFile(file, [&](std::string& text) {
    if (!add) return RemoveProfileTextValues(text, DownloadSitesSectionName, SiteKey, site) > 0;
    if (listed || !*site) return false;  // an empty site is no entry
    InsertFirstProfileTextValue(text, DownloadSitesSectionName, SiteKey, site);
    return true;
  });
  LogSiteEdit(edited == StatusOk, add, add ? !listed && *site : ListsSite(SiteList, site), site, file);
  if (edited != StatusOk) return 1;
  // The list holds what the file now holds, as the edit made it.
  if (!add) {
    RemoveSite(SiteList, site);
  } else if (!listed && *site && !AddSite(SiteList, site)) {
    return 1;
  }
  return 0;
}
