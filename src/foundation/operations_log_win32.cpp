// The operations log over a file handle opened for appending only: every
// WriteFile on such a handle lands at the end of the file as one piece,
// whoever else appends at the same time.
#include "foundation/operations_log.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "foundation/code_page.h"
#include "foundation/platform_win32.h"
#include "foundation/strings.h"

namespace {

// The open log; none without one.
std::unique_ptr<FileHandle> logFile;
std::string logName;
// The file ended inside a line (a run stopped or ran out of room while it
// wrote): the next line starts with a line end of its own.
bool lineOpen = false;

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
void GiveUpLog(const char* what, DWORD error) {
  fprintf(stderr, "ControlPanel: the log \"%s\" %s: %s; the run goes on without it\n", logName.c_str(), what,
          SystemErrorText(error).c_str());
  fflush(stderr);
  CloseOperationsLog();
}

// Whether the file at path ends inside a line: it is not empty and its last
// byte is not a line feed.
bool EndsInsideALine(const char* path) {
  FileHandle file(path, FILE_READ_DATA, 0);
  LARGE_INTEGER size = {};
  if (!file.IsOpen() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart == 0) return false;
  LARGE_INTEGER last = {};
  last.QuadPart = size.QuadPart - 1;
  char byte = '\n';
  DWORD read = 0;
  return SetFilePointerEx(file.Get(), last, nullptr, FILE_BEGIN) && ReadFile(file.Get(), &byte, 1, &read, nullptr) &&
         read == 1 && byte != '\n';
}

void WriteLogLine(const std::string& text, bool isUtf8) {
  std::string event = text;
  if (!isUtf8) {
    String utf8;
    event = AnsiToUtf8(text.c_str(), utf8) ? std::string(utf8.TextOrEmpty()) : WithReplacementCharacters(text);
  }
  std::string line = FormatLogLine(CurrentLogTime(), GetCurrentProcessId(), event);
  if (lineOpen) line = "\r\n" + line;
  // One write holds the whole line; what a short write left is written
  // after it, so that the failure that stops it is the one reported.
  for (size_t done = 0; done < line.size();) {
    DWORD written = 0;
    if (!WriteFile(logFile->Get(), line.data() + done, static_cast<DWORD>(line.size() - done), &written, nullptr)) {
      GiveUpLog("cannot be written", GetLastError());
      return;
    }
    if (written == 0) {
      GiveUpLog("cannot be written", ERROR_DISK_FULL);
      return;
    }
    done += written;
    lineOpen = done < line.size();
  }
}

}  // namespace

bool OpenOperationsLog(const char* file) {
  CloseOperationsLog();
  logName = file ? file : "";
  if (logName.empty()) {
    GiveUpLog("cannot be opened", ERROR_INVALID_NAME);
    return false;
  }
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  logFile.reset(new FileHandle(logName.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_ATTRIBUTE_NORMAL, OPEN_ALWAYS));
  if (!logFile->IsOpen()) {
    GiveUpLog("cannot be opened", GetLastError());
    return false;
  }
  lineOpen = EndsInsideALine(logName.c_str());
  SetLogEventWriter(WriteLogLine);
  return true;
}

void CloseOperationsLog() {
  SetLogEventWriter(nullptr);
  logFile.reset();
  lineOpen = false;
}
