// The recovery reinstall; the one place for ShellExecuteExA.
#include "maintenance/uninstall_recovery.h"

#include <windows.h>
#include <shellapi.h>

#include "foundation/fixed_path.h"
#include "foundation/heap_string.h"
#include "foundation/system_libraries_win32.h"
#include "maintenance/installation_locations.h"
#include "maintenance/uninstall.h"
#include "settings/settings_lock.h"

namespace {

constexpr const char* InstallerFileText = "\\QLXFullInstall.exe";
constexpr const char* SilentParameter = "-s";
constexpr int32_t NotFoundCode = 1;
static_assert(SEE_MASK_FLAG_DDEWAIT == 0x100 && SW_SHOWNORMAL == 1, "the mask and show state of the start");

typedef BOOL(WINAPI* ExecuteCall)(SHELLEXECUTEINFOA*);

}  // namespace

bool StartInstaller(const char* path, const char* parameters) {
  auto execute = SystemFunctionAs<ExecuteCall>(SystemLibrary::Shell, "ShellExecuteExA");
  if (!execute) return false;
  SHELLEXECUTEINFOA start = {};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_FLAG_DDEWAIT;
  start.hwnd = nullptr;
  start.lpVerb = "open";
  start.lpFile = path;
  start.lpParameters = parameters;
  start.lpDirectory = "";
  start.nShow = SW_SHOWNORMAL;
  return execute(&start) != FALSE;
}

int32_t RunRecoveryOption() {
  FixedPath applicationFolder;
  String installer;
  bool applicationFound = ReadApplicationPath(applicationFolder, &installer);
  FixedPath componentFolder;
  if (!applicationFound || !ReadComponentPath(componentFolder)) return NotFoundCode;
  {
    // The installer starts whether or not the uninstall could run.
    SettingsLock lock;
    if (lock.Held()) {
      UninstallPlayer(nullptr, componentFolder);
      VerifyUninstall(componentFolder);
    }
  }
  if (!installer.Append(InstallerFileText)) return 0;
  return StartInstaller(installer.Text(), SilentParameter) ? 1 : 0;
}
