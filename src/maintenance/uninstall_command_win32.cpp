#include "maintenance/uninstall_command.h"

#include "foundation/fixed_path.h"
#include "maintenance/installation_locations.h"
#include "maintenance/uninstall.h"
#include "maintenance/uninstall_outcome.h"
#include "settings/settings_lock.h"
#include "shell/message_boxes.h"

namespace {

// Uninstalls the player in componentFolder and checks what is left. The
// caller holds the settings lock.
int32_t UninstallAndVerify(HWND owner, FixedPath& componentFolder) {
  bool uninstalled = UninstallPlayer(owner, componentFolder);
  return UninstallOutcome(uninstalled, VerifyUninstall(componentFolder));
}

}  // namespace

int32_t RunUninstallOption() {
  SettingsLock lock;
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) return NoPlayerCode;
  if (!lock.Held()) return UninstallStepFailed;
  return UninstallAndVerify(nullptr, componentFolder);
}

void RunUninstallCommand(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) {
    ShowNotRegistered(owner);
    return;
  }
  if (!AskYesNo(owner, UninstallQuestionCaption, UninstallQuestionText, nullptr, true)) return;
  // Not held while the question waits for the user.
  SettingsLock lock;
  int32_t outcome = lock.Held() ? UninstallAndVerify(owner, componentFolder) : UninstallStepFailed;
  UninstallReport report = UninstallOutcomeReport(outcome);
  ShowInfo(owner, report.caption, report.text);
}
