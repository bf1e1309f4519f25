// The places a run's options remove or rewrite, read from the registry and
// compared with the log's path as Windows compares paths.
#include "shell/log_placement.h"

#include <initializer_list>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/files/file_replacement.h"
#include "foundation/files/path_identity.h"
#include "installation/installation.h"
#include "settings/download_sites.h"
#include "settings/manager_options.h"

namespace {

bool Uses(const std::vector<Option>& options, std::initializer_list<Option> any) {
  for (Option option : options)
    for (Option wanted : any)
      if (option == wanted) return true;
  return false;
}

// The options of the list that touch a place, as the refusal names them.
std::string Names(const std::vector<Option>& options, std::initializer_list<Option> any, bool windowMode) {
  if (windowMode) return "the window's commands";
  std::string names;
  for (Option option : options)
    for (Option wanted : any)
      if (option == wanted && names.find(RowOf(option).text) == std::string::npos)
        names += (names.empty() ? "" : ", ") + std::string(RowOf(option).text);
  return names;
}

// The refusal in UTF-8: the log as typed, the place by its true name.
std::string Refusal(const std::string& logFile, const char* what, const char* place, const std::string& byWhom) {
  return "the log \"" + logFile + "\" lies in " + what + " \"" + TruePathUtf8(place) + "\", which " + byWhom +
         " may remove or rewrite";
}

// Whether the log (wide, as typed) is place (ANSI, as the program keeps it)
// or lies inside it.
bool IsIn(const std::wstring& log, const char* place) {
  return IsSameOrInside(log.c_str(), WideOfAnsi(place).c_str());
}

}  // namespace

std::string LogPlacementRefusal(const std::string& logFile, const std::vector<Option>& requested, bool windowMode) {
  // The window can do what these options do.
  const std::vector<Option> options =
      windowMode ? std::vector<Option>{Option::Uninstall, Option::DeleteResources, Option::JoinBeta,
                                       Option::AddSite, Option::UpdateCheckOn, Option::LastUpdateTime}
                 : requested;
  const std::wstring log = WideOfUtf8(logFile.c_str());
  if (log.empty()) return "the log \"" + logFile + "\" is not a file name";

  const FixedPath siteSettings = SiteSettingsPath();
  if (siteSettings.Text()[0] && IsIn(log, siteSettings.Text()))
    return Refusal(logFile, "the program's settings file", siteSettings.Text(), "runs of the program");

  FixedPath componentFolder;
  const bool player = ReadComponentPath(componentFolder);
  const std::initializer_list<Option> removers = {Option::Uninstall, Option::Recover};
  if (player && Uses(options, removers) && IsIn(log, componentFolder.Text()))
    return Refusal(logFile, "the component folder", componentFolder.Text(), Names(options, removers, windowMode));

  FixedPath applicationFolder;
  if (Uses(options, {Option::Recover}) && ReadApplicationPath(applicationFolder) &&
      IsIn(log, applicationFolder.Text()))
    return Refusal(logFile, "the application folder", applicationFolder.Text(), "-rcvr");

  if (!player) return std::string();
  FixedPath cache(componentFolder);
  if (Uses(options, {Option::DeleteResources}) && cache.AppendName(ResourceCacheFolderName) == StatusOk &&
      IsIn(log, cache.Text()))
    return Refusal(logFile, "the resource cache", cache.Text(), Names(options, {Option::DeleteResources}, windowMode));

  const struct {
    const char* name;
    std::initializer_list<Option> writers;
  } settingsFiles[] = {
      {DownloadSitesFileName, {Option::DeleteSiteList, Option::AddSite, Option::RemoveSite}},
      {ManagerOptionsFileName, {Option::UpdateCheckOn, Option::UpdateCheckOff, Option::LastUpdateTime}},
  };
  for (const auto& file : settingsFiles) {
    FixedPath settings(componentFolder);
    if (!Uses(options, file.writers) || settings.AppendName(file.name) != StatusOk) continue;
    if (IsIn(log, settings.Text()))
      return Refusal(logFile, "the settings file", settings.Text(), Names(options, file.writers, windowMode));
    // The temporary files of interrupted writes beside it go at the next write.
    const char* logName = FileNameOf(logFile.c_str());
    const size_t folderLength = static_cast<size_t>(logName - logFile.c_str());
    const std::string logFolder = folderLength == 0 ? "." : logFile.substr(0, folderLength);
    const std::wstring wideFolder = WideOfUtf8(logFolder.c_str());
    const std::wstring wideComponentFolder = WideOfAnsi(componentFolder.Text());
    if (IsSiblingFileName(logName) && IsSameOrInside(wideFolder.c_str(), wideComponentFolder.c_str()) &&
        IsSameOrInside(wideComponentFolder.c_str(), wideFolder.c_str()))
      return Refusal(logFile, "the temporary files of the folder", componentFolder.Text(),
                     Names(options, file.writers, windowMode));
  }
  return std::string();
}
