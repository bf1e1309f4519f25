#pragma once
// The run's audit records in the Windows Event Log, beside the operations
// log: the Application log, under the source "Corvalent Control Panel",
// where Event Viewer, Windows Event Forwarding and the collectors of a SIEM
// read them on any machine. Every event of the operations log that is not a
// note becomes one record, in the log's own words: each change, each step
// that failed or was refused, and the run's result; a command line refused
// before anything ran becomes one too. The texts are in the program's message
// table (event_messages.mc), so that a reader shows them without this
// program's help once the source is registered.
//
// The Event Log never changes the run: a record that cannot be written
// (no Event Log service, no right to write) changes neither what the run
// does nor its result code, and the records are written by a thread of
// their own, so that a slow Event Log never holds up the run.

#include <cstddef>
#include <string>

#include "foundation/log/operations_log.h"

// The source the records are written under, and the name of its key below
// the Application log's in the registry.
constexpr const char EventSourceName[] = "Corvalent Control Panel";

// A record's type, as Event Viewer shows it.
enum class EventLevel { Information, Warning, Error };

// Whether the Windows Event Log gets a record for an event of kind: for
// every kind but a note.
bool IsAuditEvent(LogEventKind kind);

// The type of an event of kind: warning for a step that failed and left
// what it was to change; error for a refusal, and for the result of a run
// in which a step failed or was refused (runFailed); information otherwise.
EventLevel LevelOf(LogEventKind kind, bool runFailed);

// The longest insertion string a record carries, in UTF-16 code units,
// mark included: far below the Event Log's own limit of 31,839 characters
// for one string, so that the three strings of a record stay well inside the
// size of one record.
constexpr size_t InsertionStringCharacters = 8192;

// utf8 as an insertion string: the text whole (a byte that is not UTF-8 as
// U+FFFD) when it fits in InsertionStringCharacters; else its beginning, cut
// between two characters, and the mark " [... cut: N characters in all]",
// so that a record is always written and shows that its text was cut.
std::string InsertionString(const std::string& utf8);

// The Windows Event Log on Windows (windows_event_log_win32.cpp).

// Called once, just before the run's first record is written: the
// registration of the source (by the room that owns the registry wrapper).
typedef void (*EventSourceRegistration)();

// Starts writing the run's records: every event from now on that
// IsAuditEvent takes. commandLine (UTF-8, the arguments as typed) goes with
// the run's result and a refused command line. registerSource, when given, runs
// before the first record.
void OpenWindowsEventLog(const std::string& commandLine, EventSourceRegistration registerSource);
// Whether the run has handed a record to the Event Log.
bool WindowsEventLogHasRecords();
// Stops taking events and waits for the records on their way, at most
// EventLogDrainMilliseconds. Records that could not be written, or not in
// that time, are said in one line on standard error and as a note in the
// log; the run goes on as it would without them.
void CloseWindowsEventLog();
