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

// Where events go: a function that writes one event as one line; utf8 says
// whether text is UTF-8 already or in the ANSI code page. None: events go
// nowhere.
typedef void (*LogEventWriter)(const std::string& text, bool utf8);
void SetLogEventWriter(LogEventWriter writer);
// Whether anyone hears events: a log, or the change lines of a run that
// describes its changes. Events that take work to put together are made
// only then.
bool LogIsOpen();

// Reports one event to the log, when there is one: text in the ANSI code
// page, or (LogEventUtf8) in UTF-8, for names read as wide characters.
void LogEvent(const std::string& text);
void LogEventUtf8(const std::string& text);

// LogEvent of a text made as printf makes it; made only when there is a log.
// LogfUtf8 is LogEventUtf8 of one: every text argument UTF-8 already (a
// path by its true name, TruePathUtf8).
void Logf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogfUtf8(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A change of the installation. done is the event of a run that makes it
// ("removed folder \"C:\\Player\""); wouldDo the same change as a run that
// only describes it (what_if.h) names it ("remove folder ..."): that run
// reports "would " and wouldDo, to the log and to the change-line writer.
// Texts in the ANSI code page, or (LogChangeUtf8) in UTF-8.
void LogChange(const std::string& done, const std::string& wouldDo);
void LogChangeUtf8(const std::string& done, const std::string& wouldDo);
// Where a describing run's change lines go besides the log (standard
// output); none: to the log only. The writer gets the whole line, "would ...",
// as LogEventWriter gets an event.
void SetChangeLineWriter(LogEventWriter writer);
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
