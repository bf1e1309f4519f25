#pragma once
// The records that the programs a test starts write to the Windows Event
// Log, as Wine shows them. Wine's Event Log keeps nothing: ReportEventW
// prints one line with the record's type and ID on the "advapi" channel
//
//   fixme:advapi:ReportEventW (CAFE4242,0x0004,0x0000,0x00000190,...,0x0003,...): stub
//
// (handle, type, category, ID, user, number of strings, ...), then one line
// per insertion string on the "eventlog" channel, its class the record's
// type (trace: information, warn: warning, err: error), the string in Wine's
// debug form: L"...", with \\, \", \n, \r, \t and \xxxx (four hex digits) for
// the other characters outside printable ASCII, and cut short, with "..."
// after it, past some 290 bytes. RegisterEventSourceW prints the source's
// name the same way.
//
// A Wine process writes its debug channels to the Unix standard error it
// inherited from the process that started it, never to the standard error
// handle it was given: for a program a test starts, the test program's own,
// which wine-run points at a file and names in PANEL_TEST_UNIX_ERRORS. The
// trace is read back from that file, from where it ended when the trace
// began.

#include <windows.h>

#include <string>
#include <vector>

// One insertion string, UTF-8: whole, or the beginning that Wine showed.
struct TracedString {
  std::string text;
  bool whole = true;
};

struct TracedRecord {
  std::string source;  // the name the program registered its source under
  WORD type = 0;       // EVENTLOG_INFORMATION_TYPE, EVENTLOG_WARNING_TYPE, EVENTLOG_ERROR_TYPE
  DWORD id = 0;
  std::vector<TracedString> strings;
  // The line of the trace that did not read as its record's (empty when all did).
  std::string unreadable;
};

class EventLogTrace {
 public:
  // Turns the Event Log's trace on for every program this test program
  // starts from now on (WINEDEBUG in the environment they inherit).
  EventLogTrace();
  // Turns it off again.
  ~EventLogTrace();
  EventLogTrace(const EventLogTrace&) = delete;
  EventLogTrace& operator=(const EventLogTrace&) = delete;

  // Whether the trace can be read: this test program runs under wine-run,
  // which names the file of its standard error.
  bool Ready() const { return file_ != INVALID_HANDLE_VALUE; }
  // The records traced since the trace began or since the last call, in
  // their order. Call once the programs have ended.
  std::vector<TracedRecord> TakeRecords();

 private:
  HANDLE file_;
  LARGE_INTEGER readTo_ = {};
  std::string previousSetting_;
  bool hadSetting_ = false;
  std::string source_;  // the latest source registered
};

// Whether what the trace shows of a string is text: all of it, or, for a
// string Wine cut short, its beginning.
bool ShowsText(const TracedString& traced, const std::string& text);
