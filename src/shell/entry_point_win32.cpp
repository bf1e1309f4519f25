// The process entry: sets up the window toolkit, runs the command line (or the
// main window when it holds no token), prints the result code and ends with it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "foundation/platform_win32.h"
#include "shell/command_line.h"
#include "shell/main_window_win32.h"
#include "toolkit/application.h"
#include "toolkit/message_boxes_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  RestrictLibrarySearch();
  if (!ToolkitStartUp(instance)) {
    ToolkitShutDown();
    return 0;
  }
  std::string options;
  RunSwitches switches;
  TakeRunSwitches(commandLine, options, switches);
  if (switches.help) {
    fputs(UsageText().c_str(), stdout);
    fflush(stdout);
    ToolkitShutDown();
    return 0;
  }
  SetBoxesQuiet(switches.quiet);
  int32_t resultCode = DispatchCommandLine(options.c_str());
  if (resultCode == WindowModeCode && switches.quiet) resultCode = 0;  // a quiet run opens no window
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
