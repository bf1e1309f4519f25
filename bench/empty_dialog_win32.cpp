// The floor of the window-mode start: a program that sets up the toolkit and
// shows one empty captioned toolkit dialog of the main window's size, the
// way the control panel shows its main window, and ends when it is closed.
#include <windows.h>

#include "shell/main_window_win32.h"
#include "toolkit/application.h"
#include "toolkit/dialog_procedure_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/window_manager_win32.h"

namespace {

uint8_t EmptyDialogHandler(HWND window, EventKind kind, EventRecord*) {
  if (kind == EventOpened) {
    ShowToolkitWindow(window);
    UpdateToolkitWindow(window);
  } else if (kind == EventClosing) {
    CloseToolkitWindow(CurrentWindowManager(), window);
  }
  return AnswerNotHandled;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (ToolkitStartUp(instance) && OpenWindowManager()) {
    WindowManager* manager = CurrentWindowManager();
    HWND window = CreateToolkitDialog(nullptr, 0, 0, MainWindowCreateWidth, MainWindowCreateHeight,
                                      DialogKindCaptioned);
    if (window) {
      CenterWindow(window, nullptr);
      SetClientSize(window, MainWindowClientWidth, MainWindowClientHeight);
      SetWindowTextFrom(window, "Empty Toolkit Dialog");
      if (RegisterWindow(manager, window, nullptr, EmptyDialogHandler, nullptr, 10, false, false))
        RunUntilNoWindows(manager);
    }
    CloseWindowManager();
  }
  ToolkitShutDown();
  return 0;
}
