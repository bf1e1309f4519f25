// The operations log over a file handle opened for appending only: every
// WriteFile on such a handle lands at the end of the file as one piece,
// whoever else appends at the same time.
#include "foundation/operations_log.h"

#include <windows.h>

#include <cstdio>

#include "foundation/code_page.h"

namespace {

// The open log; none without one.
HANDLE logFile = INVALID_HANDLE_VALUE;
std::string logName;

LogTime CurrentLogTime() {
  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  FILETIME local;
  SYSTEMTIME fields = {};
  LogTime time;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) return time;
  time.year = fields.wYear;
  time.month = fields.wMonth;
  time.day = fields.wDay;
  time.hour = fields.wHour;
  time.minute = fields.wMinute;
  time.second = fields.wSecond;
  time.millisecond = fields.wMilliseconds;
  const auto ticks = [](const FILETIME& t) {
    return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  constexpr long long TicksPerMinute = 600000000LL;  // of 100 ns
  time.utcOffsetMinutes = static_cast<int>((ticks(local) - ticks(utc)) / TicksPerMinute);
  return time;
}

// One line on standard error, once: the run goes on as if no log was asked for.
void GiveUpLog(const char* what) {
  fprintf(stderr, "ControlPanel: the log \"%s\" %s (error %lu); the run goes on without it\n", logName.c_str(), what,
          static_cast<unsigned long>(GetLastError()));
  fflush(stderr);
  CloseOperationsLog();
}

void WriteLogLine(const std::string& text, bool isUtf8) {
  // A text the code page cannot convert is written as its bytes: the event
  // is not lost for one unreadable character.
  const std::string event = isUtf8 ? text : Utf8OfAnsi(text.c_str());
  const std::string line = FormatLogLine(CurrentLogTime(), GetCurrentProcessId(), event);
  DWORD written = 0;
  if (!WriteFile(logFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
      written != line.size())
    GiveUpLog("cannot be written");
}

}  // namespace

bool OpenOperationsLog(const char* file) {
  CloseOperationsLog();
  logName = file ? file : "";
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  logFile = logName.empty() ? INVALID_HANDLE_VALUE
                            : CreateFileA(logName.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (logFile == INVALID_HANDLE_VALUE) {
    if (logName.empty()) SetLastError(ERROR_INVALID_NAME);
    GiveUpLog("cannot be opened");
    return false;
  }
  SetLogEventWriter(WriteLogLine);
  return true;
}

void CloseOperationsLog() {
  SetLogEventWriter(nullptr);
  if (logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
  logFile = INVALID_HANDLE_VALUE;
}
