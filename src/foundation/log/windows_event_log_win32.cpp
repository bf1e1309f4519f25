// The Windows Event Log's sink of the operations log: each audit event made
// into a record (its ID, type and insertion strings) on the thread that
// reports it, and handed to a thread of its own that writes the records in
// their order, so that a slow or missing Event Log service never holds up
// the run.
#include "foundation/log/windows_event_log.h"

#include <windows.h>

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/core/platform_win32.h"
#include "foundation/log/event_messages.h"
#include "foundation/log/event_source_win32.h"
#include "foundation/log/operations_log.h"

namespace {

// How long the end of a run waits for its records still on their way.
constexpr DWORD EventLogDrainMilliseconds = 3000;

struct EventRecord {
  WORD type;
  DWORD id;
  std::vector<std::wstring> strings;
};

// The records on their way and what became of them, shared by the run and
// the writing thread. Made on the heap and left there when the thread does
// not end in time: the thread may still reach it while the process ends.
struct Outbox {
  CRITICAL_SECTION lock;
  OwnedHandle wake;  // set when a record or the end is there
  std::deque<EventRecord> records;
  bool ending = false;
  unsigned long written = 0;
  unsigned long notWritten = 0;
  DWORD lastError = ERROR_SUCCESS;  // why the last record that failed was not written
  std::vector<BYTE> user;           // the TOKEN_USER of the run, for the records' user
  Outbox() { InitializeCriticalSection(&lock); }
  ~Outbox() { DeleteCriticalSection(&lock); }
};

// The run's sink; none while the Event Log is closed.
struct EventLogRun {
  std::string commandLine;
  EventSourceRegistration registerSource = nullptr;
  bool registrationDone = false;
  bool runFailed = false;
  unsigned long handedOver = 0;
  Outbox* outbox = nullptr;
  OwnedHandle writer;
};
std::unique_ptr<EventLogRun> run;

PSID UserOf(Outbox& outbox) {
  return outbox.user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(outbox.user.data())->User.Sid;
}

DWORD WINAPI WriteRecords(void* context) {
  Outbox& outbox = *static_cast<Outbox*>(context);
  const std::string source = EventSourceName;
  const EventSource log(std::wstring(source.begin(), source.end()).c_str());
  for (;;) {
    EventRecord record;
    bool taken = false;
    bool ending = false;
    EnterCriticalSection(&outbox.lock);
    if (!outbox.records.empty()) {
      record = std::move(outbox.records.front());
      outbox.records.pop_front();
      taken = true;
    }
    ending = outbox.ending;
    LeaveCriticalSection(&outbox.lock);
    if (!taken) {
      if (ending) return 0;
      WaitForSingleObject(outbox.wake.Get(), INFINITE);
      continue;
    }
    const bool reported = log.Report(record.type, record.id, UserOf(outbox), record.strings);
    const DWORD error = reported ? ERROR_SUCCESS : GetLastError();
    EnterCriticalSection(&outbox.lock);
    if (reported) {
      ++outbox.written;
    } else {
      ++outbox.notWritten;
      outbox.lastError = error;
    }
    LeaveCriticalSection(&outbox.lock);
  }
}

// The user the run's token names, as GetTokenInformation gives it; empty
// when it cannot be read.
std::vector<BYTE> RunUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::vector<BYTE>();
  const OwnedHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) return std::vector<BYTE>();
  return user;
}

DWORD RecordId(LogEventKind kind) {
  switch (kind) {
    case LogEventKind::Removed: return EVENT_REMOVED;
    case LogEventKind::Scheduled: return EVENT_SCHEDULED;
    case LogEventKind::Written: return EVENT_WRITTEN;
    case LogEventKind::Unregistered: return EVENT_UNREGISTERED;
    case LogEventKind::InstallerStarted: return EVENT_INSTALLER_STARTED;
    case LogEventKind::Failed: return EVENT_STEP_FAILED;
    case LogEventKind::Refused: return EVENT_STEP_REFUSED;
    case LogEventKind::RefusedCommandLine: return EVENT_COMMAND_LINE_REFUSED;
    case LogEventKind::Result:
    case LogEventKind::Note: break;
  }
  return EVENT_RUN_RESULT;
}

WORD RecordType(EventLevel level) {
  switch (level) {
    case EventLevel::Warning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::Error: return EVENTLOG_ERROR_TYPE;
    case EventLevel::Information: break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

std::wstring WideInsertionString(const std::string& utf8) { return WideOfUtf8(InsertionString(utf8).c_str()); }

// Starts the writing thread with the first record; false, with the reason
// kept, when it cannot run.
bool StartWriter(EventLogRun& sink) {
  if (sink.outbox) return sink.writer.IsOpen();
  sink.outbox = new Outbox;
  // Read before the thread, which reads it, starts.
  sink.outbox->user = RunUser();
  sink.outbox->wake.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (sink.outbox->wake.IsOpen()) sink.writer.Reset(CreateThread(nullptr, 0, WriteRecords, sink.outbox, 0, nullptr));
  if (sink.writer.IsOpen()) return true;
  sink.outbox->lastError = GetLastError();
  return false;
}

void WriteRecord(LogEventKind kind, const std::string& text, bool utf8) {
  if (!run || !IsAuditEvent(kind)) return;
  EventLogRun& sink = *run;
  if (!sink.registrationDone) {
    // Marked first: the registration may log notes of its own.
    sink.registrationDone = true;
    if (sink.registerSource) sink.registerSource();
  }
  if (kind == LogEventKind::Failed || kind == LogEventKind::Refused) sink.runFailed = true;
  EventRecord record{RecordType(LevelOf(kind, sink.runFailed)), RecordId(kind), {}};
  record.strings.push_back(WideInsertionString(utf8 ? text : Utf8OfAnsi(text.c_str())));
  record.strings.push_back(std::to_wstring(GetCurrentProcessId()));
  if (kind == LogEventKind::Result || kind == LogEventKind::RefusedCommandLine)
    record.strings.push_back(WideInsertionString(sink.commandLine.empty() ? Quoted(nullptr) : sink.commandLine));
  ++sink.handedOver;
  if (!StartWriter(sink)) {
    ++sink.outbox->notWritten;
    return;
  }
  EnterCriticalSection(&sink.outbox->lock);
  sink.outbox->records.push_back(std::move(record));
  LeaveCriticalSection(&sink.outbox->lock);
  SetEvent(sink.outbox->wake.Get());
}

// One line on standard error and a note in the log: the run is the same
// without the records.
void SayNotWritten(const std::string& what) {
  fprintf(stderr, "ControlPanel: %s; the run is the same without them\n", what.c_str());
  fflush(stderr);
  LogEventUtf8(what);
}

}  // namespace

void OpenWindowsEventLog(const std::string& commandLine, EventSourceRegistration registerSource) {
  CloseWindowsEventLog();
  run.reset(new EventLogRun);
  run->commandLine = commandLine;
  run->registerSource = registerSource;
  SetEventLogWriter(WriteRecord);
}

bool WindowsEventLogHasRecords() { return run && run->handedOver > 0; }

void CloseWindowsEventLog() {
  SetEventLogWriter(nullptr);
  if (!run) return;
  const std::unique_ptr<EventLogRun> closing = std::move(run);
  Outbox* outbox = closing->outbox;
  bool ended = true;
  if (closing->writer.IsOpen()) {
    EnterCriticalSection(&outbox->lock);
    outbox->ending = true;
    LeaveCriticalSection(&outbox->lock);
    SetEvent(outbox->wake.Get());
    ended = WaitForSingleObject(closing->writer.Get(), EventLogDrainMilliseconds) == WAIT_OBJECT_0;
  }
  if (outbox) {
    EnterCriticalSection(&outbox->lock);
    const unsigned long written = outbox->written;
    const unsigned long notWritten = outbox->notWritten;
    const DWORD error = outbox->lastError;
    LeaveCriticalSection(&outbox->lock);
    const std::string records = " of the run's " + std::to_string(closing->handedOver) + " records";
    if (!ended) {
      SayNotWritten("the Windows Event Log did not take " + std::to_string(closing->handedOver - written) + records +
                    " within " + std::to_string(EventLogDrainMilliseconds / 1000) + " s");
    } else if (notWritten > 0) {
      SayNotWritten("the Windows Event Log could not take " + std::to_string(notWritten) + records + ": " +
                    Utf8OfAnsi(SystemErrorText(error).c_str()));
    }
  }
  // A thread still writing keeps its outbox for the rest of the process.
  if (ended) delete outbox;
}
