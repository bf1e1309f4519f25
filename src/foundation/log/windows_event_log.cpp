#include "foundation/log/windows_event_log.h"

#include "foundation/core/code_page.h"

bool IsAuditEvent(LogEventKind kind) { return kind != LogEventKind::Note; }

EventLevel LevelOf(LogEventKind kind, bool runFailed) {
  switch (kind) {
    case LogEventKind::Failed:
      return EventLevel::Warning;
    case LogEventKind::Refused:
    case LogEventKind::RefusedCommandLine:
      return EventLevel::Error;
    case LogEventKind::Result:
      return runFailed ? EventLevel::Error : EventLevel::Information;
    case LogEventKind::Note:
    case LogEventKind::Removed:
    case LogEventKind::Scheduled:
    case LogEventKind::Written:
    case LogEventKind::Unregistered:
    case LogEventKind::InstallerStarted:
      return EventLevel::Information;
  }
  return EventLevel::Information;
}

namespace {

// The UTF-16 code units of the valid UTF-8 sequence of length bytes: two
// for a character beyond the Basic Multilingual Plane, one otherwise.
size_t Utf16Units(int length) { return length == 4 ? 2 : 1; }

}  // namespace

std::string InsertionString(const std::string& utf8) {
  const std::string text = ValidUtf8(utf8);
  size_t units = 0;
  for (size_t at = 0; at < text.size();) {
    const int length = Utf8SequenceLength(text.c_str() + at);
    units += Utf16Units(length);
    at += static_cast<size_t>(length);
  }
  if (units <= InsertionStringCharacters) return text;
  const std::string mark = " [... cut: " + std::to_string(units) + " characters in all]";
  const size_t room = InsertionStringCharacters - mark.size();  // the mark is ASCII
  size_t kept = 0;
  size_t at = 0;
  while (at < text.size()) {
    const int length = Utf8SequenceLength(text.c_str() + at);
    if (kept + Utf16Units(length) > room) break;
    kept += Utf16Units(length);
    at += static_cast<size_t>(length);
  }
  return text.substr(0, at) + mark;
}
