#pragma once
// The program registered as the source of its records in the Windows Event
// Log (foundation/log/windows_event_log.h): the source's key below the
// Application log's,
//
//   HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Corvalent Control Panel
//
// with "EventMessageFile" (REG_EXPAND_SZ), the program's full path, whose
// message table holds the records' texts, and "TypesSupported" (REG_DWORD
// 7: information, warning, error). Without it a reader shows "The
// description for Event ID ... cannot be found" instead of the text.
//
// Writing the key needs administrator rights. The run that first writes a
// record with them registers the program, and so does the installers'
// switch "/registerevents"; a registration that names another file (the
// program was moved, or another copy registered itself) or other types is
// corrected. Without the rights, the records are written all the same.

#include <string>

enum class RegistrationOutcome {
  AsItWas,    // the key already named this program
  Made,       // the key was made or corrected
  NotMade,    // it could not be written
};

// Registers this program as the source, or corrects the registration; what
// became of it in the log's words (UTF-8) in *said: "registered ...",
// "... is registered ...", or "could not register ...: reason".
RegistrationOutcome RegisterProgramAsEventSource(std::string* said);

// For OpenWindowsEventLog: registers the program before a run's first
// record. The registration is the program's own, not the installation's:
// the log says nothing of it unless it could not be made (a note, with the
// reason).
void RegisterProgramBeforeFirstRecord();
