#include "support/event_log_trace_win32.h"

#include <regex>

namespace {

// Only the lines the Event Log's functions print: the records' types and IDs
// from advapi's notes, the strings from the eventlog channel.
constexpr char TraceSetting[] = "-all,+eventlog,fixme+advapi";
// Where wine-run names the file of the test program's Unix standard error.
constexpr char UnixErrorsVariable[] = "PANEL_TEST_UNIX_ERRORS";

// The file of the test program's Unix standard error, opened for reading;
// none outside wine-run. Wine names a Unix file for Windows through
// kernel32's wine_get_dos_file_name.
HANDLE OpenUnixErrors() {
  char unixPath[4096];
  const DWORD length = GetEnvironmentVariableA(UnixErrorsVariable, unixPath, sizeof unixPath);
  typedef WCHAR*(CDECL * DosFileNameCall)(const char*);
  const auto dosFileName = reinterpret_cast<DosFileNameCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (length == 0 || length >= sizeof unixPath || !dosFileName) return INVALID_HANDLE_VALUE;
  WCHAR* path = dosFileName(unixPath);
  if (!path) return INVALID_HANDLE_VALUE;
  const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  HeapFree(GetProcessHeap(), 0, path);
  return file;
}

// The UTF-8 of one UTF-16 code unit sequence.
std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
  std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

// A string in Wine's debug form (L"..." and "..." when cut) read back; false
// when shown is not one.
bool ReadDebugString(const std::string& shown, TracedString* string) {
  if (shown.compare(0, 2, "L\"") != 0) return false;
  std::wstring text;
  size_t at = 2;
  for (;;) {
    if (at >= shown.size()) return false;
    const char c = shown[at];
    if (c == '"') break;
    if (c != '\\') {
      text += static_cast<wchar_t>(static_cast<unsigned char>(c));
      ++at;
      continue;
    }
    if (at + 1 >= shown.size()) return false;
    const char escaped = shown[at + 1];
    const std::string plain = "\\\"nrt";
    const std::wstring meant = L"\\\"\n\r\t";
    const size_t which = plain.find(escaped);
    if (which != std::string::npos) {
      text += meant[which];
      at += 2;
      continue;
    }
    if (at + 5 > shown.size()) return false;
    text += static_cast<wchar_t>(std::stoul(shown.substr(at + 1, 4), nullptr, 16));
    at += 5;
  }
  const std::string rest = shown.substr(at + 1);
  if (!rest.empty() && rest != "...") return false;
  string->text = Utf8(text);
  string->whole = rest.empty();
  return true;
}

const char* ClassOf(WORD type) {
  switch (type) {
    case EVENTLOG_ERROR_TYPE: return "err";
    case EVENTLOG_WARNING_TYPE: return "warn";
    default: return "trace";
  }
}

}  // namespace

EventLogTrace::EventLogTrace() : file_(OpenUnixErrors()) {
  if (file_ != INVALID_HANDLE_VALUE && !GetFileSizeEx(file_, &readTo_)) {
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }
  char setting[1024];
  const DWORD length = GetEnvironmentVariableA("WINEDEBUG", setting, sizeof setting);
  hadSetting_ = length > 0 && length < sizeof setting;
  if (hadSetting_) previousSetting_.assign(setting, length);
  SetEnvironmentVariableA("WINEDEBUG", TraceSetting);
}

EventLogTrace::~EventLogTrace() {
  SetEnvironmentVariableA("WINEDEBUG", hadSetting_ ? previousSetting_.c_str() : nullptr);
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

std::vector<TracedRecord> EventLogTrace::TakeRecords() {
  std::vector<TracedRecord> records;
  if (!Ready()) return records;
  std::string text;
  SetFilePointerEx(file_, readTo_, nullptr, FILE_BEGIN);
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file_, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  // Whole lines only: a line still being written is read next time.
  const size_t end = text.rfind('\n');
  if (end == std::string::npos) return records;
  readTo_.QuadPart += static_cast<LONGLONG>(end + 1);

  // The thread and process prefixes Wine may write before a line's class.
  static const std::regex registered(R"(^(?:[0-9a-f]+:)*fixme:advapi:RegisterEventSourceW \(\(null\),(L".*")\): stub$)");
  static const std::regex reported(
      R"(^(?:[0-9a-f]+:)*fixme:advapi:ReportEventW \([0-9A-Fa-f]+,0x([0-9a-f]+),0x[0-9a-f]+,0x([0-9a-f]+),[0-9A-Fa-f]+,0x([0-9a-f]+),.*\): stub$)");
  static const std::regex string(R"(^(?:[0-9a-f]+:)*(trace|warn|err):eventlog:ReportEventW (.*)$)");
  size_t stringsLeft = 0;
  for (size_t start = 0; start <= end;) {
    const size_t lineEnd = text.find('\n', start);
    const std::string line = text.substr(start, lineEnd - start);
    start = lineEnd + 1;
    std::smatch parts;
    if (std::regex_match(line, parts, registered)) {
      TracedString name;
      if (ReadDebugString(parts[1], &name)) source_ = name.text;
    } else if (std::regex_match(line, parts, reported)) {
      TracedRecord record;
      record.source = source_;
      record.type = static_cast<WORD>(std::stoul(parts[1], nullptr, 16));
      record.id = static_cast<DWORD>(std::stoul(parts[2], nullptr, 16));
      stringsLeft = std::stoul(parts[3], nullptr, 16);
      records.push_back(record);
    } else if (std::regex_match(line, parts, string)) {
      TracedString traced;
      if (records.empty() || stringsLeft == 0 || parts[1] != ClassOf(records.back().type) ||
          !ReadDebugString(parts[2], &traced)) {
        if (!records.empty() && records.back().unreadable.empty()) records.back().unreadable = line;
        continue;
      }
      records.back().strings.push_back(traced);
      --stringsLeft;
    }
  }
  return records;
}

bool ShowsText(const TracedString& traced, const std::string& text) {
  return traced.whole ? traced.text == text : text.compare(0, traced.text.size(), traced.text) == 0;
}
