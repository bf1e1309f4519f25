// The operations log over a file handle opened for appending only: every
// WriteFile on such a handle lands at the end of the file as one piece,
// whoever else appends at the same time.
#include "foundation/log/operations_log.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/strings.h"
#include "foundation/core/system_path_win32.h"

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
void GiveUpLog(const char* what, const std::string& reason) {
  fprintf(stderr, "ControlPanel: the log \"%s\" %s: %s; the run goes on without it\n", logName.c_str(), what,
          reason.c_str());
  fflush(stderr);
  CloseOperationsLog();
}
void GiveUpLog(const char* what, DWORD error) { GiveUpLog(what, SystemErrorText(error)); }

bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}
bool IsPlainFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !IsLink(attributes);
}

// The folders a log file needs, made like a deep mkdir. Only below an
// existing folder reached through no link (a folder made through a link
// lands wherever the link leads), and each one checked to be a plain folder
// once it is there, also when another run made it first.
class LogFolders {
 public:
  // Makes the missing folders of file (a full path); false, with the reason,
  // when one cannot be made. What was made stays listed.
  bool Make(const std::wstring& file, std::string* reason) {
    std::vector<std::wstring> missing;  // innermost first
    const size_t nameStart = file.find_last_of(L'\\');
    std::wstring folder = file.substr(0, nameStart == std::wstring::npos ? 0 : nameStart);
    for (;;) {
      const size_t separator = folder.find_last_of(L'\\');
      if (separator == std::wstring::npos || GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) break;
      missing.push_back(folder);
      folder.resize(separator);
    }
    if (missing.empty()) return true;
    // Every existing folder on the way, from the first below the drive to
    // the one the new folders go in.
    for (size_t end = folder.find(L'\\');; end = folder.find(L'\\', end + 1)) {
      const std::wstring part = folder.substr(0, end);
      if (!part.empty() && part.back() != L':' && IsLink(GetFileAttributesW(part.c_str()))) {
        *reason = "its folder would be made through the link \"" + Utf8OfWide(part.c_str()) + "\"";
        return false;
      }
      if (end == std::wstring::npos) break;
    }
    if (!IsPlainFolder(GetFileAttributesW(folder.c_str()))) {
      *reason = "\"" + Utf8OfWide(folder.c_str()) + "\" is not a folder";
      return false;
    }
    for (size_t i = missing.size(); i-- > 0;) {
      const wchar_t* path = missing[i].c_str();
      if (CreateDirectoryW(path, nullptr)) {
        made_.push_back(missing[i]);
      } else if (const DWORD error = GetLastError(); error != ERROR_ALREADY_EXISTS) {
        *reason = "its folder \"" + Utf8OfWide(path) + "\" cannot be made: " + SystemErrorText(error);
        return false;
      }
      if (!IsPlainFolder(GetFileAttributesW(path))) {
        *reason = "\"" + Utf8OfWide(path) + "\" is not a plain folder";
        return false;
      }
    }
    return true;
  }
  // Removes the folders made, innermost first, when the log could not be
  // opened after all: a run without a log leaves no trace of one.
  void Remove() {
    for (size_t i = made_.size(); i-- > 0;) RemoveDirectoryW(made_[i].c_str());
    made_.clear();
  }
  const std::vector<std::wstring>& Made() const { return made_; }

 private:
  std::vector<std::wstring> made_;
};

// Whether the file at path ends inside a line: it is not empty and its last
// byte is not a line feed.
bool EndsInsideALine(const wchar_t* path) {
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

// Every event is a line, whatever its kind.
void WriteLogLine(LogEventKind, const std::string& text, bool isUtf8) {
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
  const std::wstring wideName = WideOfUtf8(logName.c_str());
  if (wideName.empty()) {
    GiveUpLog("cannot be opened", ERROR_INVALID_NAME);
    return false;
  }
  const std::wstring fullName = ReadSystemPath(
      [&wideName](wchar_t* buffer, DWORD size) { return GetFullPathNameW(wideName.c_str(), size, buffer, nullptr); });
  LogFolders folders;
  std::string reason;
  if (fullName.empty() || !folders.Make(fullName, &reason)) {
    folders.Remove();
    if (fullName.empty()) {
      GiveUpLog("cannot be opened", GetLastError());
    } else {
      GiveUpLog("cannot be opened", reason);
    }
    return false;
  }
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  logFile.reset(new FileHandle(fullName.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_ATTRIBUTE_NORMAL, OPEN_ALWAYS));
  if (!logFile->IsOpen()) {
    const DWORD error = GetLastError();
    logFile.reset();
    folders.Remove();
    GiveUpLog("cannot be opened", error);
    return false;
  }
  lineOpen = EndsInsideALine(fullName.c_str());
  SetLogEventWriter(WriteLogLine);
  for (const std::wstring& folder : folders.Made())
    LogfUtf8("made folder \"%s\" for the log", Utf8OfWide(folder.c_str()).c_str());
  return true;
}

void CloseOperationsLog() {
  SetLogEventWriter(nullptr);
  logFile.reset();
  lineOpen = false;
}

std::string LoggedPath(const char* ansiPath) { return LogIsOpen() ? TruePathUtf8(ansiPath) : std::string(); }
