#include "foundation/log/operations_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "foundation/core/paths.h"
#include "foundation/core/what_if.h"

namespace {

LogEventWriter eventWriter = nullptr;
LogEventWriter eventLogWriter = nullptr;
ChangeLineWriter changeLineWriter = nullptr;
int describedChanges = 0;

bool AnyoneHears() { return eventWriter != nullptr || eventLogWriter != nullptr; }

// The Event Log's sink first: what it says before its first record (its
// registration) comes before that event in the log too.
void Report(LogEventKind kind, const std::string& text, bool utf8) {
  if (eventLogWriter) eventLogWriter(kind, text, utf8);
  if (eventWriter) eventWriter(kind, text, utf8);
}

void AppendEscaped(std::string& line, const std::string& text) {
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      line += c;
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\t') {
      line += "\\t";
    } else {
      char escape[5];
      snprintf(escape, sizeof escape, "\\x%02X", byte);
      line += escape;
    }
  }
}

}  // namespace

std::string FormatLogLine(const LogTime& time, uint32_t processId, const std::string& text) {
  const int offset = abs(time.utcOffsetMinutes);
  char stamp[64];
  snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d [%lu] ", time.year, time.month,
           time.day, time.hour, time.minute, time.second, time.millisecond, time.utcOffsetMinutes < 0 ? '-' : '+',
           offset / 60, offset % 60, static_cast<unsigned long>(processId));
  std::string line = stamp;
  AppendEscaped(line, text);
  line += "\r\n";
  return line;
}

std::string Quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "(none)"; }

std::string QuotedFolder(const char* folder) {
  if (!folder) return Quoted(nullptr);
  size_t length = LengthWithoutTrailingSeparators(folder);
  if (length == 2 && folder[1] == ':' && folder[2] != '\0') length = 3;  // "C:\"
  return Quoted(std::string(folder, length).c_str());
}

bool IsChange(LogEventKind kind) {
  switch (kind) {
    case LogEventKind::Removed:
    case LogEventKind::Scheduled:
    case LogEventKind::Written:
    case LogEventKind::Unregistered:
    case LogEventKind::InstallerStarted:
      return true;
    case LogEventKind::Note:
    case LogEventKind::Failed:
    case LogEventKind::Refused:
    case LogEventKind::Result:
    case LogEventKind::RefusedCommandLine:
      return false;
  }
  return false;
}

void SetLogEventWriter(LogEventWriter writer) { eventWriter = writer; }

void SetEventLogWriter(LogEventWriter writer) { eventLogWriter = writer; }

bool LogIsOpen() { return AnyoneHears() || (changeLineWriter != nullptr && ChangesAreDescribed()); }

void LogEvent(const std::string& text) { Report(LogEventKind::Note, text, false); }

void LogEventUtf8(const std::string& text) { Report(LogEventKind::Note, text, true); }

void LogEvent(LogEventKind kind, const std::string& text) { Report(kind, text, false); }

void LogEventUtf8(LogEventKind kind, const std::string& text) { Report(kind, text, true); }

namespace {

std::string FormattedEvent(const char* format, va_list arguments) {
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length < 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  vsnprintf(&text[0], text.size(), format, arguments);
  text.resize(static_cast<size_t>(length));
  return text;
}

// The text is made only when someone hears it.
void ReportFormatted(LogEventKind kind, bool utf8, const char* format, va_list arguments) {
  if (AnyoneHears()) Report(kind, FormattedEvent(format, arguments), utf8);
}

}  // namespace

void Logf(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ReportFormatted(LogEventKind::Note, false, format, arguments);
  va_end(arguments);
}

void LogfUtf8(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ReportFormatted(LogEventKind::Note, true, format, arguments);
  va_end(arguments);
}

void Logf(LogEventKind kind, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ReportFormatted(kind, false, format, arguments);
  va_end(arguments);
}

void LogfUtf8(LogEventKind kind, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ReportFormatted(kind, true, format, arguments);
  va_end(arguments);
}

namespace {

constexpr const char* WouldPrefix = "would ";

void ReportChange(LogEventKind kind, const std::string& done, const std::string& wouldDo, bool utf8) {
  if (!ChangesAreDescribed()) {
    Report(kind, done, utf8);
    return;
  }
  // Nothing is changed: the log tells what would be, as a note.
  ++describedChanges;
  const std::string line = WouldPrefix + wouldDo;
  Report(LogEventKind::Note, line, utf8);
  if (changeLineWriter) changeLineWriter(line, utf8);
}

}  // namespace

void LogChange(LogEventKind kind, const std::string& done, const std::string& wouldDo) {
  ReportChange(kind, done, wouldDo, false);
}

void LogChangeUtf8(LogEventKind kind, const std::string& done, const std::string& wouldDo) {
  ReportChange(kind, done, wouldDo, true);
}

void SetChangeLineWriter(ChangeLineWriter writer) { changeLineWriter = writer; }

int DescribedChangeCount() { return describedChanges; }

std::string WithReplacementCharacters(const std::string& text) {
  constexpr const char* Replacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
  std::string replaced;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x80) {
      replaced += c;
    } else {
      replaced += Replacement;
    }
  }
  return replaced;
}
