#include "maintenance/uninstall_command.h"

#include "foundation/fixed_path.h"
#include "maintenance/installation_locations.h"
#include "maintenance/uninstall.h"
#include "maintenance/uninstall_outcome.h"
#include "shell/message_boxes.h"

namespace {

// Uninstalls the player in componentFolder and checks what is left.
int32_t UninstallAndVerify(HWND owner, FixedPath& componentFolder) {
  bool uninstalled = UninstallPlayer(owner, componentFolder);
  return UninstallOutcome(uninstalled, VerifyUninstall(componentFolder));
}

}  // namespace

int32_t RunUninstallOption() {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) return NoPlayerCode;
  return UninstallAndVerify(nullptr, componentFolder);
}

void RunUninstallCommand(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) {
    ShowNotRegistered(owner);
    return;
  }
  if (!AskYesNo(owner, UninstallQuestionCaption, UninstallQuestionText, nullptr, true)) return;
  UninstallReport report = UninstallOutcomeReport(UninstallAndVerify(owner, componentFolder));
  ShowInfo(owner, report.caption, report.text);
}
