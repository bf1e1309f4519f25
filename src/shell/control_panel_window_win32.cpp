#include "shell/control_panel_window.h"

#include "foundation/fixed_path.h"
#include "foundation/heap_string.h"
#include "foundation/product_version.h"
#include "maintenance/resource_cache.h"
#include "maintenance/uninstall_command.h"
#include "settings/download_sites.h"
#include "settings/manager_options.h"
#include "shell/main_window_commands.h"
#include "shell/main_window_layout.h"
#include "shell/message_boxes.h"
#include "toolkit/control_kinds.h"
#include "toolkit/control_list.h"
#include "toolkit/dialog_window.h"
#include "toolkit/events.h"
#include "toolkit/message_loop.h"
#include "toolkit/toolkit_app.h"
#include "toolkit/window_geometry.h"
#include "toolkit/window_manager.h"
#include "toolkit/window_operations.h"

namespace {

constexpr int32_t TickInterval = 10;

void CloseMainWindow(HWND window) {
  if (WindowManager* manager = CurrentWindowManager()) UnregisterWindow(manager, window);
}

void RunCommand(HWND window, const GrowArray& controls, uint32_t id) {
  switch (id) {
    case InstallPathCommandId:
      RunInstallPathCommand(window);
      break;
    case UninstallCommandId:
      // Escape reaches the window as the command of the button with the
      // cancel id, which is the uninstall button, while a control has the
      // focus: it closes the window, as Escape does in any dialog, and never
      // uninstalls.
      if (KeyIsDown(VK_ESCAPE)) {
        CloseMainWindow(window);
        break;
      }
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
    case EventClosing:
      // Saves only with a component folder and the mark set.
      ApplyManagerOptions();
      // Commands still running under a box of this window find no window,
      // controls or boxes to touch once it is gone.
      DetachOptionControls();
      SetMainWindow(nullptr);
      if (controls) DestroyControls(*controls);
      CloseToolkitWindow(manager, window);
      return AnswerNotHandled;
    case EventKeyDown:
      // Escape while the window itself has the focus.
      if (record->event.keyCode == VK_ESCAPE) {
        CloseMainWindow(window);
        return AnswerHandled;
      }
      return AnswerNotHandled;
    case EventCommand:
      if (record->event.commandId == OkCommandId) {
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
    for (const MainWindowControl& row : MainWindowControls) {
      Control* control = row.checkBox ? static_cast<Control*>(new CheckBox(window, row.id, row.rect, row.caption, 0))
                                       : new PushButton(window, row.id, row.rect, row.caption, 0);
      AppendControl(controls, control);
      if (row.id == CheckForUpdatesCommandId) checkForUpdates = control;
      if (row.id == PublicBetaCommandId) publicBeta = control;
    }
    SetClientSize(window, MainWindowClientWidth, MainWindowClientHeight);
    SetWindowTextFrom(window, title.TextOrEmpty());
    SetMainWindow(window);
    AttachOptionControls(&controls, checkForUpdates, publicBeta);
    if (RegisterWindow(manager, window, nullptr, MainWindowHandler, &controls, TickInterval, false, false)) {
      RunUntilNoWindows(manager);
    } else {
      DetachOptionControls();
      SetMainWindow(nullptr);
      DestroyControls(controls);
      CloseToolkitWindow(manager, window);
    }
  }
  CloseWindowManager();
  ReleaseGrowArray(controls);
}
