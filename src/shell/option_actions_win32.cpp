// The actions behind the command-line options: each runs one maintenance
// operation without an owner window and updates the result code as the
// option's row of the option table says.
#include <cstdio>

#include "foundation/file_stream.h"
#include "foundation/fixed_path.h"
#include "foundation/heap_string.h"
#include "maintenance/installation_locations.h"
#include "settings/download_site_files.h"
#include "shell/command_line.h"

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
// StatusIoError when the deletion failed.
void DeleteSiteList(int32_t& resultCode) {
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return;
  if (file.AppendName(DownloadSitesFileName) != StatusOk || !file.Exists()) return;
  FileStream list(file);
  resultCode = list.Delete() == StatusOk ? 0 : StatusIoError;
}

void RunOption(Option option, const char* argument, int32_t& resultCode) {
  switch (option) {
    case Option::InstallPath:
      ShowInstallPath(resultCode);
      break;
    case Option::DeleteSiteList:
      DeleteSiteList(resultCode);
      break;
    // The uninstall, the inventory, the resource cache and the settings
    // operations are not part of the program yet; their options leave the
    // result code as it is.
    case Option::Uninstall:
    case Option::Recover:
    case Option::JoinBeta:
    case Option::LeaveBeta:
    case Option::DeleteResources:
    case Option::AddSite:
    case Option::RemoveSite:
    case Option::Verify:
    case Option::UpdateCheckOn:
    case Option::UpdateCheckOff:
    case Option::LastUpdateTime:
      break;
  }
}

}  // namespace

int32_t DispatchCommandLine(const char* commandLine) { return DispatchCommandLineWith(commandLine, RunOption); }
