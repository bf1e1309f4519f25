// The process entry: sets up the window toolkit, runs the command line (or the
// main window when it holds no token), prints the result code and ends with it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "foundation/operations_log.h"
#include "foundation/platform_win32.h"
#include "shell/command_line.h"
#include "shell/main_window_win32.h"
#include "shell/status_document.h"
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
  if (switches.log) {
    if (switches.logFile.empty()) {
      fputs("ControlPanel: \"/log\" names no file (or a name longer than a token holds); the run goes on without "
            "a log\n",
            stderr);
      fflush(stderr);
    } else {
      OpenOperationsLog(switches.logFile.c_str());
    }
  }
  LogEvent(std::string("command line: ") + (commandLine ? commandLine : ""));
  if (switches.status) {
    // The document is all the run does: no option runs beside it.
    const bool written = PrintStatusDocument();
    const int32_t statusCode = written ? 0 : 1;
    LogEvent("status document " + std::string(written ? "written" : "not written") + "; exit code " +
             std::to_string(statusCode));
    CloseOperationsLog();
    ToolkitShutDown();
    return statusCode;
  }
  SetBoxesQuiet(switches.quiet);
  int32_t resultCode = DispatchCommandLine(options.c_str());
  if (resultCode == WindowModeCode && switches.quiet) resultCode = 0;  // a quiet run opens no window
  if (resultCode == WindowModeCode) {
    LogEvent("window opened");
    RunControlPanel();
    LogEvent("window closed; exit code 0");
    CloseOperationsLog();
    ToolkitShutDown();
    return 0;
  }
  if (resultCode != QuietCode) {
    printf("%ld\n", static_cast<long>(resultCode));
    fflush(stdout);
  }
  LogEvent("result code " + std::to_string(resultCode) +
           (resultCode == QuietCode ? " (the option printed its own output)" : ""));
  CloseOperationsLog();
  ToolkitShutDown();
  return resultCode;
}
