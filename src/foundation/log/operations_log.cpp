#include "foundation/log/operations_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "foundation/core/paths.h"
#include "foundation/core/what_if.h"

namespace {

LogEventWriter eventWriter = nullptr;
LogEventWriter changeLineWriter = nullptr;
int describedChanges = 0;

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

void SetLogEventWriter(LogEventWriter writer) { eventWriter = writer; }

bool LogIsOpen() { return eventWriter != nullptr || (changeLineWriter != nullptr && ChangesAreDescribed()); }

void LogEvent(const std::string& text) {
  if (eventWriter) eventWriter(text, false);
}

void LogEventUtf8(const std::string& text) {
  if (eventWriter) eventWriter(text, true);
}

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

}  // namespace

void Logf(const char* format, ...) {
  if (!eventWriter) return;
  va_list arguments;
  va_start(arguments, format);
  LogEvent(FormattedEvent(format, arguments));
  va_end(arguments);
}

void LogfUtf8(const char* format, ...) {
  if (!eventWriter) return;
  va_list arguments;
  va_start(arguments, format);
  LogEventUtf8(FormattedEvent(format, arguments));
  va_end(arguments);
}

namespace {

constexpr const char* WouldPrefix = "would ";

void ReportChange(const std::string& done, const std::string& wouldDo, bool utf8) {
  if (!ChangesAreDescribed()) {
    if (eventWriter) eventWriter(done, utf8);
    return;
  }
  ++describedChanges;
  const std::string line = WouldPrefix + wouldDo;
  if (eventWriter) eventWriter(line, utf8);
  if (changeLineWriter) changeLineWriter(line, utf8);
}

}  // namespace

void LogChange(const std::string& done, const std::string& wouldDo) {
  ReportChange(done, wouldDo, false);
}

void LogChangeUtf8(const std::string& done, const std::string& wouldDo) {
  ReportChange(done, wouldDo, true);
}

void SetChangeLineWriter(LogEventWriter writer) { changeLineWriter = writer; }

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
