// The process entry: sets up the window toolkit, runs the command line (or the
// main window when it holds no token), prints the result code and ends with it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/what_if.h"
#include "foundation/log/operations_log.h"
#include "foundation/log/windows_event_log.h"
#include "shell/command_line.h"
#include "shell/event_source_registration.h"
#include "shell/log_placement.h"
#include "shell/main_window_win32.h"
#include "shell/status_document.h"
#include "shell/unseen_output_win32.h"
#include "toolkit/application.h"
#include "toolkit/message_boxes_win32.h"

namespace {

// Refuses the command line: one line on standard error (and in a box for a
// run that has no standard output and is not quiet), a record in the
// Windows Event Log unless the line holds "/noevents", the refusal code
// printed (positive, as Windows installers give it, when "/msicodes" is on
// the line), nothing run.
int32_t Refuse(const std::string& refusal, bool quiet, bool noEvents, bool standardCodes, const char* commandLine) {
  if (!noEvents) {
    OpenWindowsEventLog(commandLine ? commandLine : "", RegisterProgramBeforeFirstRecord);
    LogEventUtf8(LogEventKind::RefusedCommandLine, RefusalEvent(refusal));
    CloseWindowsEventLog();
  }
  if (!quiet && !HasStandardOutput()) ShowRefusalBox(RefusalLine(refusal));
  fputs(RefusalLine(refusal).c_str(), stderr);
  fflush(stderr);
  const int32_t code = standardCodes ? StandardRefusedCode : RefusedCommandLineCode;
  printf("%ld\n", static_cast<long>(code));
  fflush(stdout);
  return code;
}

// The options a strictly read command line runs.
std::vector<Option> OptionsOf(const CommandLineReading& reading) {
  std::vector<Option> options;
  for (const OptionStep& step : reading.steps) options.push_back(step.option);
  return options;
}

int32_t RunStatusDocument() {
  // The document is all the run does: no option runs beside it.
  std::string failure;
  const bool written = PrintStatusDocument(&failure);
  constexpr int32_t NotWrittenCode = 1;
  if (!written) {
    fprintf(stderr, "ControlPanel: the status document could not be written to standard output: %s\n",
            failure.c_str());
    fflush(stderr);
  }
  const int32_t exitCode = written ? 0 : NotWrittenCode;
  Logf("status document %s; exit code %ld", written ? "written" : ("not written: " + failure).c_str(),
       static_cast<long>(exitCode));
  return exitCode;
}

// "/registerevents": the program registered as the source of its records in
// the Windows Event Log, and nothing else.
int32_t RunEventSourceRegistration() {
  std::string said;
  const bool registered = RegisterProgramAsEventSource(&said) != RegistrationOutcome::NotMade;
  constexpr int32_t NotRegisteredCode = 1;
  const int32_t exitCode = registered ? 0 : NotRegisteredCode;
  if (!registered) {
    fprintf(stderr, "ControlPanel: %s\n", said.c_str());
    fflush(stderr);
  }
  printf("%ld\n", static_cast<long>(exitCode));
  fflush(stdout);
  LogEventUtf8(said);
  Logf("result code %ld", static_cast<long>(exitCode));
  return exitCode;
}

// "/whatif": each change the run would make, as one line on standard
// output, in the code page the program prints in.
void PrintChangeLine(const std::string& line, bool utf8) {
  const std::string shown = utf8 ? DisplayAnsiOfUtf8(line.c_str()) : line;
  printf("%s\n", shown.c_str());
  fflush(stdout);
}

// Whether a "/whatif" run of the line must say that nothing would change
// when it named no change: a line of options that change nothing ("-ip",
// "-v") prints what it always prints.
bool SaysNothingWouldChange(const CommandLineReading& reading) {
  if (DescribedChangeCount() > 0) return false;
  for (const OptionStep& step : reading.steps)
    if (RowOf(step.option).changes) return true;
  return reading.steps.empty();
}

// Why a strictly read command line is refused for an argument that the
// player's settings files, kept in the ANSI code page, cannot hold: stored as
// a look-alike it would be another site or time. Empty when none.
std::string UnholdableArgumentRefusal(const CommandLineReading& reading) {
  for (const OptionStep& step : reading.steps) {
    const OptionRow& row = RowOf(step.option);
    std::string ansi;
    if (row.argument && step.option != Option::Verify && !ExactAnsiOfUtf8(step.argument.c_str(), &ansi))
      return "the ANSI code page of the player's settings files cannot hold the " + std::string(row.argument) +
             " " + Quoted(step.argument.c_str()) + " after " + Quoted(row.text);
  }
  return std::string();
}

// Runs the command line (UTF-8, read from its wide form) and returns the
// exit code. The caller tears down.
int32_t Run(const char* commandLine) {
  const CommandLineReading reading = ReadCommandLine(commandLine);
  const RunSwitches& switches = reading.switches;
  if (!reading.refusal.empty())
    return Refuse(reading.refusal, reading.quietGiven, reading.noEventsGiven, reading.standardCodesGiven, commandLine);
  if (reading.strict) {
    const std::string unholdable = UnholdableArgumentRefusal(reading);
    if (!unholdable.empty())
      return Refuse(unholdable, switches.quiet, switches.noEvents, switches.standardCodes, commandLine);
  }
  if (switches.help) {
    // Without standard output, where a person reads it: in a window.
    if (!switches.quiet && !HasStandardOutput()) ShowUsageWindow(UsageText());
    fputs(UsageText().c_str(), stdout);
    fflush(stdout);
    return 0;
  }
  // Unattended runs: nothing may wait for a person.
  if (switches.quiet || switches.status || switches.whatIf) SilenceSystemErrorBoxes();
  const bool windowMode = reading.strict && reading.steps.empty() && !switches.quiet && !switches.status &&
                          !switches.whatIf && !switches.registerEvents;
  // Queries, descriptions and a window that changes nothing are no audit
  // records: a window has the Event Log's listener, but hands it nothing
  // until it changes something. Asked before the log listens.
  const bool audited = !switches.noEvents && MayChangeTheInstallation(reading, commandLine);
  if (switches.log) {
    const std::string misplaced = LogPlacementRefusal(
        switches.logFile, switches.status ? std::vector<Option>() : OptionsOf(reading), windowMode);
    if (!misplaced.empty())
      return Refuse(misplaced, switches.quiet, switches.noEvents, switches.standardCodes, commandLine);
    OpenOperationsLog(switches.logFile.c_str());
  }
  if (audited) OpenWindowsEventLog(commandLine ? commandLine : "", RegisterProgramBeforeFirstRecord);
  LogfUtf8("command line: %s", commandLine ? commandLine : "");
  if (switches.status) return RunStatusDocument();
  if (switches.registerEvents) return RunEventSourceRegistration();
  SetBoxesQuiet(switches.quiet);
  if (switches.whatIf) {
    DescribeChanges(true);
    SetChangeLineWriter(PrintChangeLine);
  }
  // Switches without options open the window, unless the run is quiet.
  const int32_t resultCode = windowMode                              ? WindowModeCode
                             : reading.strict && reading.steps.empty() ? 0
                             : reading.strict                          ? RunOptionSteps(reading.steps, switches.standardCodes)
                                                                       : DispatchCommandLine(commandLine);
  if (resultCode == WindowModeCode) {
    LogEvent("window opened");
    RunControlPanel();
    // The window's result is a record only when it changed something.
    LogEvent(WindowsEventLogHasRecords() ? LogEventKind::Result : LogEventKind::Note, "window closed; exit code 0");
    return 0;
  }
  if (switches.whatIf && resultCode != QuietCode && SaysNothingWouldChange(reading))
    LogChange(LogEventKind::Note, std::string(), "change nothing");
  if (resultCode != QuietCode) {
    printf("%ld\n", static_cast<long>(resultCode));
    fflush(stdout);
  }
  Logf(LogEventKind::Result, "result code %ld%s", static_cast<long>(resultCode),
       resultCode == QuietCode ? " (the option printed its own output)"
       : switches.whatIf       ? " (the run would give it; nothing was changed)"
                               : "");
  return resultCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearch();
  // The wide form holds every character as typed; the ANSI one the runtime
  // hands in turns those its code page lacks into look-alikes.
  const std::string wholeCommandLine = Utf8OfWide(GetCommandLineW());
  // A toolkit that cannot be set up ends the run with 0 and no output.
  const int32_t exitCode = ToolkitStartUp(instance) ? Run(AfterProgramName(wholeCommandLine.c_str())) : 0;
  // The Event Log first: what it could not take is said in the log.
  CloseWindowsEventLog();
  CloseOperationsLog();
  ToolkitShutDown();
  return exitCode;
}
