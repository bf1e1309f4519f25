// The process entry: sets up the window toolkit, runs the command line (or the
// main window when it holds no token), prints the result code and ends with it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/operations_log.h"
#include "foundation/platform_win32.h"
#include "shell/command_line.h"
#include "shell/log_placement.h"
#include "shell/main_window_win32.h"
#include "shell/status_document.h"
#include "shell/unseen_output_win32.h"
#include "toolkit/application.h"
#include "toolkit/message_boxes_win32.h"

namespace {

// Refuses the command line: one line on standard error (and in a box for a
// run that has no standard output and is not quiet), the refusal code
// printed, nothing run.
int32_t Refuse(const std::string& refusal, bool quiet) {
  if (!quiet && !HasStandardOutput()) ShowRefusalBox(RefusalLine(refusal));
  fputs(RefusalLine(refusal).c_str(), stderr);
  fflush(stderr);
  printf("%ld\n", static_cast<long>(RefusedCommandLineCode));
  fflush(stdout);
  return RefusedCommandLineCode;
}

// The options a strictly read command line runs.
std::vector<Option> OptionsOf(const CommandLineReading& reading) {
  std::vector<Option> options;
  for (const OptionStep& step : reading.steps) options.push_back(step.option);
  return options;
}

int32_t RunStatus() {
  // The document is all the run does: no option runs beside it.
  std::string failure;
  const bool written = PrintStatusDocument(&failure);
  constexpr int32_t NotWrittenCode = 1;
  if (!written) {
    fprintf(stderr, "ControlPanel: the status document could not be written to standard output: %s\n",
            failure.c_str());
    fflush(stderr);
  }
  const int32_t statusCode = written ? 0 : NotWrittenCode;
  Logf("status document %s; exit code %ld", written ? "written" : ("not written: " + failure).c_str(),
       static_cast<long>(statusCode));
  return statusCode;
}

// Runs the command line and returns the exit code. The caller tears down.
int32_t Run(const char* commandLine) {
  const CommandLineReading reading = ReadCommandLine(commandLine);
  const RunSwitches& switches = reading.switches;
  if (!reading.refusal.empty()) return Refuse(reading.refusal, reading.quietGiven);
  if (switches.help) {
    // Without standard output, where a person reads it: in a window.
    if (!switches.quiet && !HasStandardOutput()) ShowUsageWindow(UsageText());
    fputs(UsageText().c_str(), stdout);
    fflush(stdout);
    return 0;
  }
  // Unattended runs: nothing may wait for a person.
  if (switches.quiet || switches.status) SilenceSystemErrorBoxes();
  const bool windowMode = reading.strict && reading.steps.empty() && !switches.quiet && !switches.status;
  if (switches.log) {
    const std::string misplaced = LogPlacementRefusal(
        switches.logFile, switches.status ? std::vector<Option>() : OptionsOf(reading), windowMode);
    if (!misplaced.empty()) return Refuse(misplaced, switches.quiet);
    OpenOperationsLog(switches.logFile.c_str());
  }
  Logf("command line: %s", commandLine ? commandLine : "");
  if (switches.status) return RunStatus();
  SetBoxesQuiet(switches.quiet);
  // Switches without options open the window, unless the run is quiet.
  const int32_t resultCode = windowMode                              ? WindowModeCode
                             : reading.strict && reading.steps.empty() ? 0
                             : reading.strict                          ? RunOptionSteps(reading.steps)
                                                                       : DispatchCommandLine(commandLine);
  if (resultCode == WindowModeCode) {
    LogEvent("window opened");
    RunControlPanel();
    LogEvent("window closed; exit code 0");
    return 0;
  }
  if (resultCode != QuietCode) {
    printf("%ld\n", static_cast<long>(resultCode));
    fflush(stdout);
  }
  Logf("result code %ld%s", static_cast<long>(resultCode),
       resultCode == QuietCode ? " (the option printed its own output)" : "");
  return resultCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  RestrictLibrarySearch();
  // A toolkit that cannot be set up ends the run with 0 and no output.
  const int32_t exitCode = ToolkitStartUp(instance) ? Run(commandLine) : 0;
  CloseOperationsLog();
  ToolkitShutDown();
  return exitCode;
}
