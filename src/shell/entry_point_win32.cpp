// The process entry: sets up the window toolkit, runs the command line (or the
// main window when it holds no token), prints the result code and ends with it.
#include <windows.h>

#include <cstdio>

#include "foundation/platform_win32.h"
#include "shell/command_line.h"
#include "shell/main_window_win32.h"
#include "toolkit/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  RestrictLibrarySearch();
  if (!ToolkitStartUp(instance)) {
    ToolkitShutDown();
    return 0;
  }
  int32_t resultCode = DispatchCommandLine(commandLine);
  if (resultCode == WindowModeCode) {
    RunControlPanel();
    ToolkitShutDown();
    return 0;
  }
  if (resultCode != QuietCode) {
    printf("%ld\n", static_cast<long>(resultCode));
    fflush(stdout);
  }
  ToolkitShutDown();
  return resultCode;
}
