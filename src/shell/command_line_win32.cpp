// The actions behind the command-line options: each runs one maintenance
// operation without an owner window and updates the result code as the
// option's row of the option table says.
#include "shell/command_line.h"

#include <cstdio>
#include <new>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/files/file_stream.h"
#include "foundation/log/operations_log.h"
#include "installation/installation.h"
#include "installation/registry_key.h"
#include "installation/settings_lock.h"
#include "inventory/component_inventory.h"
#include "maintenance/resource_cache.h"
#include "maintenance/uninstall.h"
#include "maintenance/uninstall_win32.h"
#include "settings/download_sites.h"
#include "settings/manager_options.h"
#include "settings/pending_removal.h"

namespace {

// "-ip": the component folder as the registry holds it, in double quotes and
// without a line end; nothing when there is no component folder.
void ShowInstallPath(int32_t& resultCode) {
  FixedPath folder;
  String value;
  if (ReadComponentPath(folder, &value)) {
    printf("\"%s\"", value.TextOrEmpty());
    fflush(stdout);
  }
  resultCode = QuietCode;
}

// "-dsd": deletes the download-site list when it exists; 0 when deleted,
// StatusIoError when the deletion failed or had to wait too long for another
// change of the settings.
void DeleteSiteList(int32_t& resultCode) {
  SettingsLock lock;
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return;
  if (file.AppendName(DownloadSitesFileName) != StatusOk || !file.Exists()) return;
  if (!lock.Held()) {
    resultCode = StatusIoError;
    return;
  }
  // The file by its true name, read while it is still there.
  const std::string shown = LoggedPath(file.Text());
  FileStream list(file);
  resultCode = list.Delete() == StatusOk ? 0 : StatusIoError;
  const std::string what = "file " + Quoted(shown.c_str());
  if (resultCode == 0) {
    LogChangeUtf8(LogEventKind::Removed, "removed " + what, "remove " + what);
  } else {
    LogEventUtf8(LogEventKind::Failed, "could not remove " + what);
  }
}

// "-r+": stores the public beta site as "Additional Download URL"; 0 when
// stored, 1 when not.
void JoinBeta(int32_t& resultCode) {
  char valueName[SiteBufferBytes];
  char site[SiteBufferBytes];
  BetaSiteSettings(valueName, sizeof valueName, site, sizeof site);
  resultCode = SetPlayerValue(valueName, site) ? 0 : 1;
}

// "-r": removes "Additional Download URL"; 0 when removed, 1 when not. A
// value that was not there needed no removal.
void LeaveBeta(int32_t& resultCode, OptionOutcome& outcome) {
  char valueName[SiteBufferBytes];
  BetaSiteSettings(valueName, sizeof valueName, nullptr, 0);
  resultCode = RemovePlayerValue(valueName) ? 0 : 1;
  RegistryKey player;
  String value;
  if (resultCode != 0 && player.OpenForReading(PlayerKeyPath) && !player.ReadString(valueName, &value))
    outcome = OptionOutcome::NothingNeeded;
}

// "-cu+", "-cu" and "-lu": 1 when the options file could not be changed.
void ReportManagerOption(bool changed, int32_t& resultCode) {
  if (!changed) resultCode = 1;
}

// "-v": verifies the installed components against the version-list file
// named by listFile (UTF-8): -1 without a component folder, else the inventory's
// code. A name longer than a path holds is not cut down to the name of some
// other file: such a list cannot be read.
void VerifyComponents(const char* listFile, int32_t& resultCode) {
  constexpr int32_t NoComponentFolderCode = -1;
  FixedPath folder;
  if (!ReadComponentPath(folder, nullptr)) {
    resultCode = NoComponentFolderCode;
    return;
  }
  // The file by the name typed, through its short form when the code page
  // cannot hold that name; never a look-alike, which would be another file.
  std::string ansiName;
  if (!AnsiPathOf(WideOfUtf8(listFile).c_str(), &ansiName)) {
    LogfUtf8(LogEventKind::Refused, "refused -v: the ANSI code page cannot hold the name of the version list \"%s\", and it has no "
             "short form (it does not exist, or its volume keeps none)",
             listFile);
    resultCode = VersionListUnusable;
    return;
  }
  if (ansiName.size() > FixedPath::SetTextLimit) {
    resultCode = VersionListUnusable;
    return;
  }
  FixedPath list;
  list.SetText(ansiName.c_str());
  resultCode = InventoryComponents(folder, &list);
}

// The ANSI form of a site or time for the player's settings files, which are
// kept in the ANSI code page. False, with the option's failure code set and
// the refusal logged, when the code page cannot hold it: a look-alike would
// store or remove some other site.
bool SettingsText(Option option, const char* argument, std::string* ansi, int32_t& resultCode) {
  if (ExactAnsiOfUtf8(argument, ansi)) return true;
  const OptionRow& row = RowOf(option);
  LogfUtf8(LogEventKind::Refused, "refused %s: the ANSI code page of the player's settings files cannot hold the %s \"%s\"", row.text,
           row.argument, argument);
  resultCode = CutArgumentCode(option);
  return false;
}

// "-dr": removes the resource cache; 1 once it is removed, else the code
// stays as it is (which says nothing of a failed removal: outcome does).
void DeleteResourceCache(int32_t& resultCode, OptionOutcome& outcome) {
  FixedPath folder;
  if (!ReadComponentPath(folder)) return;
  switch (RemoveResourceCache(folder)) {
    case CacheOutcome::Removed:
      resultCode = 1;
      break;
    case CacheOutcome::NotRemoved:
      outcome = OptionOutcome::Failed;
      break;
    case CacheOutcome::NotFound:
      break;
  }
}

// "-rcvr": with a player, an installer that cannot be found without the
// application folder is a failure.
void Recover(int32_t& resultCode, OptionOutcome& outcome) {
  FixedPath componentFolder;
  FixedPath applicationFolder;
  if (ReadComponentPath(componentFolder) && !ReadApplicationPath(applicationFolder)) outcome = OptionOutcome::Failed;
  resultCode = RunRecoveryOption();
}

// Whether the run reads its codes as the standard codes ("/msicodes"): the
// uninstall then finishes at the next restart what it cannot remove now.
bool standardCodesRun = false;

// "-u". With the standard codes, what cannot be removed now is scheduled for
// the next restart and remembered (pending_removal.h); a run that finds no
// player while what an earlier one scheduled still waits for the restart has
// nothing to do but wait too.
void Uninstall(int32_t& resultCode, OptionOutcome& outcome) {
  if (!standardCodesRun) {
    resultCode = RunUninstallOption();
    return;
  }
  RestartRemoval restart;
  resultCode = RunUninstallOption(&restart);
  FixedPath folder;
  if (resultCode == NoPlayerCode && !ReadComponentPath(folder) && !PendingRemovalPaths().empty()) {
    Logf("the player is removed but for what waits for the next restart");
    outcome = OptionOutcome::RestartPending;
    return;
  }
  if (restart.scheduled.empty()) return;
  SettingsLock lock;
  if (!lock.Held() || !RememberPendingRemoval(restart.scheduled)) {
    outcome = OptionOutcome::Failed;
    return;
  }
  outcome = restart.finished ? OptionOutcome::RestartPending : OptionOutcome::Failed;
}

// argument: UTF-8, as the command line was read.
void RunOptionAction(Option option, const char* argument, int32_t& resultCode, OptionOutcome& outcome) {
  std::string text;  // the argument in the ANSI code page
  switch (option) {
    case Option::InstallPath:
      ShowInstallPath(resultCode);
      break;
    case Option::DeleteSiteList:
      DeleteSiteList(resultCode);
      break;
    case Option::Verify:
      VerifyComponents(argument, resultCode);
      break;
    case Option::JoinBeta:
      JoinBeta(resultCode);
      break;
    case Option::LeaveBeta:
      LeaveBeta(resultCode, outcome);
      break;
    case Option::AddSite:
    case Option::RemoveSite:
      if (SettingsText(option, argument, &text, resultCode))
        resultCode = EditSiteList(text.c_str(), option == Option::AddSite);
      break;
    case Option::UpdateCheckOn:
      ReportManagerOption(SetUpdateCheck(true), resultCode);
      break;
    case Option::UpdateCheckOff:
      ReportManagerOption(SetUpdateCheck(false), resultCode);
      break;
    case Option::LastUpdateTime:
      if (SettingsText(option, argument, &text, resultCode))
        ReportManagerOption(SetLastUpdateCheckTime(text.c_str()), resultCode);
      break;
    case Option::Uninstall:
      Uninstall(resultCode, outcome);
      break;
    case Option::Recover:
      Recover(resultCode, outcome);
      break;
    case Option::DeleteResources:
      DeleteResourceCache(resultCode, outcome);
      break;
  }
}

// Runs one option and tells what its code alone does not: that it found no
// player to act on (checked before it runs, as its row says), or that
// another run held the settings lock past the wait. Memory that runs out
// while it reads or edits a file (a settings file of hundreds of megabytes in
// a 32-bit process) ends the option with its failure code, never the
// program: what it held is released on the way out (the settings lock,
// files, memory), and a file it changes is replaced whole or not at all, so
// none is left half written.
void RunOption(Option option, const char* argument, int32_t& resultCode, OptionOutcome& outcome) {
  FixedPath folder;
  const bool noPlayer = StandardRowOf(option).needsPlayer && !ReadComponentPath(folder);
  const uint32_t lockMisses = SettingsLockMisses();
  try {
    RunOptionAction(option, argument, resultCode, outcome);
  } catch (const std::bad_alloc&) {
    resultCode = OptionFailureCode(option, resultCode);
    outcome = OptionOutcome::Failed;
    Logf(LogEventKind::Failed, "stopped %s: out of memory (a file it reads may be too large for this program); its failure code %ld",
         RowOf(option).text, static_cast<long>(resultCode));
  }
  if (noPlayer && outcome == OptionOutcome::AsCoded) outcome = OptionOutcome::NoPlayer;
  if (SettingsLockMisses() != lockMisses) outcome = OptionOutcome::LockNotHad;
}

}  // namespace

int32_t DispatchCommandLine(const char* commandLine) { return DispatchCommandLineWith(commandLine, RunOption); }

int32_t RunOptionSteps(const std::vector<OptionStep>& steps, bool standardCodes) {
  standardCodesRun = standardCodes;
  return RunOptionSteps(steps, RunOption, standardCodes);
}
