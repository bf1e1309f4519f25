#include "foundation/log/windows_event_log.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/core/code_page.h"

namespace {

// Every event of the log but a note is a record; its type says what became
// of the step, and a run's result is an error once a step failed or was
// refused.
TEST(WindowsEventLogTest, EachKindHasItsRecordAndType) {
  const struct {
    LogEventKind kind;
    bool audit;
    EventLevel level;        // in a run where nothing failed so far
    EventLevel afterFailure;  // once a step failed or was refused
  } cases[] = {
      {LogEventKind::Note, false, EventLevel::Information, EventLevel::Information},
      {LogEventKind::Removed, true, EventLevel::Information, EventLevel::Information},
      {LogEventKind::Scheduled, true, EventLevel::Information, EventLevel::Information},
      {LogEventKind::Written, true, EventLevel::Information, EventLevel::Information},
      {LogEventKind::Unregistered, true, EventLevel::Information, EventLevel::Information},
      {LogEventKind::InstallerStarted, true, EventLevel::Information, EventLevel::Information},
      {LogEventKind::Failed, true, EventLevel::Warning, EventLevel::Warning},
      {LogEventKind::Refused, true, EventLevel::Error, EventLevel::Error},
      {LogEventKind::RefusedCommandLine, true, EventLevel::Error, EventLevel::Error},
      {LogEventKind::Result, true, EventLevel::Information, EventLevel::Error},
  };
  for (const auto& c : cases) {
    const int kind = static_cast<int>(c.kind);
    EXPECT_EQ(IsAuditEvent(c.kind), c.audit) << kind;
    EXPECT_EQ(LevelOf(c.kind, false), c.level) << kind;
    EXPECT_EQ(LevelOf(c.kind, true), c.afterFailure) << kind;
  }
}

std::string Repeated(const std::string& text, size_t count) {
  std::string repeated;
  for (size_t i = 0; i < count; ++i) repeated += text;
  return repeated;
}

size_t Utf16Length(const std::string& utf8) {
  size_t units = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0u) != 0x80u) ++units;    // a character starts
    if ((byte & 0xF8u) == 0xF0u) ++units;    // beyond the Basic Multilingual Plane: a surrogate pair
  }
  return units;
}

// A text that fits is written whole; a longer one is cut between two
// characters and marked with its whole length, never dropped.
TEST(WindowsEventLogTest, ALongInsertionStringIsCutWithAMark) {
  const std::string omega = "\xCE\xA9";             // U+03A9: one UTF-16 unit, two bytes
  const std::string clef = "\xF0\x9D\x84\x9E";      // U+1D11E: two UTF-16 units, four bytes
  const size_t cap = InsertionStringCharacters;
  const std::string fits(cap, 'a');
  EXPECT_EQ(InsertionString(""), "");
  EXPECT_EQ(InsertionString("removed folder \"C:\\" + omega + "\""), "removed folder \"C:\\" + omega + "\"");
  EXPECT_EQ(InsertionString(fits), fits);
  EXPECT_EQ(InsertionString("x\xFFy"), "x\xEF\xBF\xBDy") << "a byte that is not UTF-8 is U+FFFD";
  const struct {
    std::string text;
    size_t characters;  // its whole length in UTF-16 units
  } cases[] = {
      {fits + "b", cap + 1},
      {Repeated("c", 3 * cap), 3 * cap},
      {Repeated(omega, cap), cap},
      {Repeated(omega, cap + 1), cap + 1},
      // A pair of units is never split.
      {Repeated(clef, cap / 2), cap},
      {"a" + Repeated(clef, cap), 2 * cap + 1},
  };
  for (const auto& c : cases) {
    const std::string cut = InsertionString(c.text);
    const std::string mark = " [... cut: " + std::to_string(c.characters) + " characters in all]";
    if (c.characters <= cap) {
      EXPECT_EQ(cut, c.text);
      continue;
    }
    ASSERT_GT(cut.size(), mark.size());
    EXPECT_EQ(cut.substr(cut.size() - mark.size()), mark);
    const std::string kept = cut.substr(0, cut.size() - mark.size());
    EXPECT_EQ(c.text.compare(0, kept.size(), kept), 0) << "the beginning of the text";
    EXPECT_LE(Utf16Length(cut), cap);
    EXPECT_GE(Utf16Length(cut), cap - 1) << "cut no shorter than a character needs";
    EXPECT_EQ(ValidUtf8(cut), cut) << "cut between two characters";
  }
}

}  // namespace
