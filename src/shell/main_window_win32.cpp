#include "shell/main_window_win32.h"

#include <string>

#include "foundation/log/operations_log.h"

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/files/product_version.h"
#include "settings/download_sites.h"
#include "shell/window_commands_win32.h"
#include "toolkit/application.h"
#include "toolkit/controls_win32.h"
#include "toolkit/dialog_procedure_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/events_win32.h"
#include "toolkit/window_manager_win32.h"

namespace {

constexpr int32_t TickInterval = 10;

void CloseMainWindow(HWND window) {
  if (WindowManager* manager = CurrentWindowManager()) UnregisterWindow(manager, window);
}

// The command as the log shows it: the control's caption, and a check box's
// new state.
void LogCommand(const GrowArray& controls, uint32_t id) {
  for (const MainWindowControl& control : MainWindowControls) {
    if (static_cast<uint32_t>(control.id) != id) continue;
    std::string event = std::string("window command: ") + Quoted(control.caption);
    if (control.checkBox) {
      const Control* box = ControlWithId(controls, control.id);
      if (box) event += box->IsChecked() ? " (checked)" : " (unchecked)";
    }
    LogEvent(event);
  }
}

void RunCommand(HWND window, const GrowArray& controls, uint32_t id) {
  LogCommand(controls, id);
  switch (id) {
    case InstallPathCommandId:
      RunInstallPathCommand(window);
      break;
    case UninstallCommandId:
      // Only a click or Space on the button: Escape, which the dialog manager
      // would send as the command of this button's id (the cancel id), is
      // read as the key it is before that (EventKeyDown).
      RunUninstallCommand(window);
      LoadManagerOptions();
      break;
    case CacheCommandId:
      RunCacheCommand(window);
      break;
    case ListComponentsCommandId:
      RunListComponentsCommand(window);
      break;
    case CheckForUpdatesCommandId:
      RunCheckForUpdatesCommand(window, controls);
      break;
    case PublicBetaCommandId:
      RunPublicBetaCommand(window, controls);
      break;
    default:
      break;
  }
}

}  // namespace

uint8_t MainWindowHandler(HWND window, EventKind kind, EventRecord* record) {
  WindowManager* manager = CurrentWindowManager();
  auto* controls = static_cast<GrowArray*>(WindowUserData(manager, window));
  switch (kind) {
    case EventOpened:
      // Loaded before the window shows, so that it never shows a state that
      // is not the stored one.
      LoadManagerOptions();
      ShowToolkitWindow(window);
      UpdateToolkitWindow(window);
      return AnswerNotHandled;
    case EventActivated:
      LoadManagerOptions();
      return AnswerNotHandled;
    case EventTick:
      // A control disabled while a box was up may have had the focus.
      if (controls) RecoverFocus(window, ControlWithId(*controls, MainWindowDefaultCommandId));
      return AnswerNotHandled;
    case EventClosing:
      // Saves only with a component folder and the mark set.
      ApplyManagerOptions(window);
      // Commands still running under a box of this window find no window,
      // controls or boxes to touch once it is gone.
      DetachOptionControls();
      if (controls) DestroyControls(*controls);
      CloseToolkitWindow(manager, window);
      return AnswerNotHandled;
    case EventDpiChanged:
      if (controls) FollowDpiChange(window, *controls, record->event.x, record->event.area);
      return AnswerHandled;
    case EventKeyDown:
      // Escape, however it arrives (typed, or posted by automation and
      // accessibility tools), whether the window or a control has the focus:
      // it closes the window, as Escape does in any dialog, and never
      // uninstalls.
      if (record->event.keyCode == VK_ESCAPE) {
        LogEvent("window closed by Escape");
        CloseMainWindow(window);
        return AnswerHandled;
      }
      return AnswerNotHandled;
    case EventCommand:
      if (record->event.commandId == OkCommandId) {
        if (controls) LogCommand(*controls, OkCommandId);
        CloseMainWindow(window);
        return AnswerHandled;
      }
      if (controls) RunCommand(window, *controls, record->event.commandId);
      return AnswerNotHandled;
    default:
      return AnswerNotHandled;
  }
}

void RunControlPanel() {
  GrowArray controls;
  if (!InitGrowArray(controls, ControlListElementSize, 0, 0, 0, true)) return;
  FixedPath programFile;
  ModuleFileForKey(ProgramModuleKey, programFile);
  WriteDefaultSiteSettings(false);

  String title;
  char version[ProductVersionTextBytes] = "";
  FormatProductVersion(programFile, version);
  title.Assign(MainWindowTitlePrefix);
  title.Append(version);

  if (!OpenWindowManager()) {
    ReleaseGrowArray(controls);
    return;
  }
  WindowManager* manager = CurrentWindowManager();
  HWND window = CreateToolkitDialog(nullptr, 0, 0, MainWindowCreateWidth, MainWindowCreateHeight,
                                    DialogKindCaptioned);
  if (window) {
    CenterWindow(window, nullptr);
    Control* checkForUpdates = nullptr;
    Control* publicBeta = nullptr;
    Control* defaultButton = nullptr;
    for (const MainWindowControl& row : MainWindowControls) {
      const bool isDefault = row.id == MainWindowDefaultCommandId;
      Control* control =
          row.checkBox ? static_cast<Control*>(new CheckBox(window, row.id, row.rect, row.caption, 0))
                       : new PushButton(window, row.id, row.rect, row.caption, isDefault ? DefaultPushButtonStyle : 0);
      AppendControl(controls, control);
      if (row.id == CheckForUpdatesCommandId) checkForUpdates = control;
      if (row.id == PublicBetaCommandId) publicBeta = control;
      if (isDefault) defaultButton = control;
    }
    SetLayoutClientSize(window, MainWindowClientWidth, MainWindowClientHeight);
    SetWindowTextFrom(window, title.TextOrEmpty());
    SetDefaultButton(window, MainWindowDefaultCommandId);
    AttachOptionControls(&controls, checkForUpdates, publicBeta);
    if (RegisterWindow(manager, window, nullptr, MainWindowHandler, &controls, TickInterval, false, false)) {
      FocusControl(window, defaultButton);
      RunUntilNoWindows(manager);
    } else {
      DetachOptionControls();
      DestroyControls(controls);
      CloseToolkitWindow(manager, window);
    }
  }
  CloseWindowManager();
  ReleaseGrowArray(controls);
}
