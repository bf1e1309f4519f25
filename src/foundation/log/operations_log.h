#pragma once
// The operations log of a run ("/log FILE"): what the run changed, what it
// refused and why, the boxes it raised and its result, one line per event,
// appended to a file that administrators collect from many machines:
//
//   2026-12-11T09:30:05.123+01:00 [4242] removed folder "C:\Program Files\Quillframe\Quillframe3"
//
// the local time in ISO 8601 with milliseconds and its offset from UTC, the
// process id in brackets, and the event. Lines are UTF-8 and end in CR LF.
// Every line is one append of its own, so that runs logging to one file at
// the same time never mix within a line.
//
// Events are texts in the ANSI code page, as every path and value of the
// program is; the log writes them as UTF-8. Without a log, LogEvent does
// nothing, so the operations report their events whether or not anyone
// listens.

#include <cstdint>
#include <string>

// The local time of an event and its offset from UTC.
struct LogTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int utcOffsetMinutes = 0;  // east of Greenwich positive
};

// The line for one event: time, process id and text (UTF-8), ending in CR LF.
// Control characters of text are written as \n, \r, \t or \xNN, so that an
// event is always one line.
std::string FormatLogLine(const LogTime& time, uint32_t processId, const std::string& text);

// text in double quotes, or "(none)" for no text: how events show paths and
// values.
std::string Quoted(const char* text);
// A folder as events show it: quoted, without the backslash a path to its
// contents ends in ("C:\Player\" is "C:\Player"); a drive root keeps its own.
std::string QuotedFolder(const char* folder);

// What an event is, for the readers that sort events rather than read them
// (the Windows Event Log, windows_event_log.h): the changes by what they do,
// a step that failed or was refused, the run's result; a note is everything
// else the log tells (the command line, a box and its answer, what was
// already as asked), which changes nothing.
enum class LogEventKind {
  Note,
  Removed,           // a file, folder, link, key, value or site removed
  Scheduled,         // a change left for the next restart of Windows
  Written,           // a file made, a settings key, value or site written
  Unregistered,      // a library unregistered
  InstallerStarted,  // the installer started
  Failed,            // a step that failed, leaving behind what it was to change
  Refused,           // a step refused before it changed anything, and why
  Result,            // the run's result code
  // The whole command line, refused before anything ran. No log is open
  // then: only the Windows Event Log hears it.
  RefusedCommandLine,
};

// Whether kind is a change of the installation.
bool IsChange(LogEventKind kind);

// Where events go: a function that writes one event; utf8 says whether text
// is UTF-8 already or in the ANSI code page. The log file's writer (set by
// OpenOperationsLog) and the Windows Event Log's (set by OpenWindowsEventLog)
// each hear every event; none: events go nowhere.
typedef void (*LogEventWriter)(LogEventKind kind, const std::string& text, bool utf8);
void SetLogEventWriter(LogEventWriter writer);
void SetEventLogWriter(LogEventWriter writer);
// Whether anyone hears events: a log, the Windows Event Log, or the change
// lines of a run that describes its changes. Events that take work to put
// together are made only then.
bool LogIsOpen();

// Reports one event, a note unless kind says otherwise: text in the ANSI
// code page, or (LogEventUtf8) in UTF-8, for names read as wide characters.
void LogEvent(const std::string& text);
void LogEventUtf8(const std::string& text);
void LogEvent(LogEventKind kind, const std::string& text);
void LogEventUtf8(LogEventKind kind, const std::string& text);

// LogEvent of a text made as printf makes it; made only when someone hears
// it. LogfUtf8 is LogEventUtf8 of one: every text argument UTF-8 already (a
// path by its true name, TruePathUtf8).
void Logf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogfUtf8(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Logf(LogEventKind kind, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogfUtf8(LogEventKind kind, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A change of the installation, of kind. done is the event of a run that
// makes it ("removed folder \"C:\\Player\""); wouldDo the same change as a run
// that only describes it (what_if.h) names it ("remove folder ..."): that
// run reports "would " and wouldDo, to the log (as a note: nothing was
// changed) and to the change-line writer. Texts in the ANSI code page, or
// (LogChangeUtf8) in UTF-8. A note for what a describing run names without
// it being a change (a box it would show).
void LogChange(LogEventKind kind, const std::string& done, const std::string& wouldDo);
void LogChangeUtf8(LogEventKind kind, const std::string& done, const std::string& wouldDo);
// Where a describing run's change lines go besides the log (standard
// output); none: to the log only. The writer gets the whole line, "would ...".
typedef void (*ChangeLineWriter)(const std::string& line, bool utf8);
void SetChangeLineWriter(ChangeLineWriter writer);
// The number of changes a describing run has reported.
int DescribedChangeCount();

// text with every byte outside ASCII written as U+FFFD, the replacement
// character: how the log writes a text the code page cannot convert, so that
// it stays UTF-8.
std::string WithReplacementCharacters(const std::string& text);

// The log on Windows (operations_log_win32.cpp).

// A path (ANSI code page) as an event shows it: by its true name in UTF-8
// (TruePathUtf8), or empty while no log is open, so that a run without a log
// never asks the system for true names.
std::string LoggedPath(const char* ansiPath);

// Opens file (UTF-8, as typed: created under that name) for appending:
// created when missing, never truncated, shared with other runs that log to
// it. Its missing folders are made first, like a deep mkdir, but never
// through a link; the first lines of the log name the folders made. When it
// cannot be opened, the folders made for it are removed again, one line on
// standard error (UTF-8) says so and the run goes on without a log; the same
// happens once when a later line cannot be written. False when there is no
// log.
bool OpenOperationsLog(const char* file);
void CloseOperationsLog();
