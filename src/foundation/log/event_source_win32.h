#pragma once
// EventSource: the owner of one handle on the Windows Event Log under a
// source name (RegisterEventSourceW), released when the owner goes
// (DeregisterEventSource). The program's only user of the advapi32 event
// log functions, which every Windows process can call: advapi32 is among the
// libraries the program imports at start.

#include <windows.h>

#include <string>
#include <vector>

class EventSource {
 public:
  // Opens the Application log of this machine for source.
  explicit EventSource(const wchar_t* source);
  ~EventSource();
  EventSource(const EventSource&) = delete;
  EventSource& operator=(const EventSource&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }

  // Writes one record (ReportEventW): its type (EVENTLOG_INFORMATION_TYPE,
  // ...), its ID in the source's message table, the user it is about (none:
  // no user) and its insertion strings. False, with GetLastError's reason,
  // when the source is not open or the record was not written.
  bool Report(WORD type, DWORD id, PSID user, const std::vector<std::wstring>& strings) const;

 private:
  HANDLE handle_;
  DWORD openError_;  // why it is not open
};
