#include "foundation/log/operations_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(OperationsLogTest, ALineIsTimeOffsetProcessAndTheEventOnOneLine) {
  const struct {
    LogTime time;
    uint32_t processId;
    std::string text;
    std::string line;
  } cases[] = {
      {{2026, 12, 11, 9, 30, 5, 123, 60}, 4242, "removed folder \"C:\\P\"",
       "2026-12-11T09:30:05.123+01:00 [4242] removed folder \"C:\\P\"\r\n"},
      {{2027, 1, 2, 23, 59, 59, 7, 0}, 1, "", "2027-01-02T23:59:59.007+00:00 [1] \r\n"},
      {{2026, 6, 30, 0, 0, 0, 999, -570}, 4294967295u, "x", "2026-06-30T00:00:00.999-09:30 [4294967295] x\r\n"},
      {{2026, 3, 1, 1, 2, 3, 4, 345}, 8, "a\nb\rc\td\x01" "e\x7F" "f\xC3\xA9",
       "2026-03-01T01:02:03.004+05:45 [8] a\\nb\\rc\\td\\x01e\\x7Ff\xC3\xA9\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatLogLine(c.time, c.processId, c.text), c.line) << c.text;
}

std::vector<std::string> events;
void Collect(LogEventKind, const std::string& text, bool utf8) { events.push_back((utf8 ? "utf8 " : "") + text); }

TEST(OperationsLogTest, EventsGoToTheWriterWhileThereIsOne) {
  events.clear();
  LogEvent("before");
  EXPECT_FALSE(LogIsOpen());
  SetLogEventWriter(Collect);
  EXPECT_TRUE(LogIsOpen());
  LogEvent("one");
  LogEvent("two " + Quoted("C:\\x") + " " + Quoted(nullptr));
  LogEventUtf8("three");
  LogEvent(QuotedFolder("C:\\P\\") + QuotedFolder("C:\\") + QuotedFolder("C:") + QuotedFolder("\\\\s\\x\\\\"));
  SetLogEventWriter(nullptr);
  LogEvent("after");
  EXPECT_EQ(events, (std::vector<std::string>{"one", "two \"C:\\x\" (none)", "utf8 three", "\"C:\\P\"\"C:\\\"\"C:\"\"\\\\s\\x\""}));
}

// Logf makes its text as printf does, and only while there is a log; a long
// text is made whole.
TEST(OperationsLogTest, LogfMakesTheEventAsPrintfDoes) {
  events.clear();
  Logf("lost %d", 1);
  SetLogEventWriter(Collect);
  const std::string longText(5000, 'l');
  Logf("removed file \"%s\" (status %ld, %u%%)", "C:\\x y", -44L, 7u);
  Logf("%s", longText.c_str());
  Logf("plain");
  SetLogEventWriter(nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"removed file \"C:\\x y\" (status -44, 7%)", longText, "plain"}));
}

// Each writer hears every event with its kind, the Event Log's writer
// first; a describing run's changes are notes.
std::vector<std::string> heard;
void HearFile(LogEventKind kind, const std::string& text, bool) {
  heard.push_back("file " + std::to_string(static_cast<int>(kind)) + " " + text);
}
void HearEventLog(LogEventKind kind, const std::string& text, bool) {
  heard.push_back("events " + std::to_string(static_cast<int>(kind)) + " " + text);
}

TEST(OperationsLogTest, BothWritersHearEveryEventWithItsKind) {
  heard.clear();
  SetEventLogWriter(HearEventLog);
  EXPECT_TRUE(LogIsOpen());
  SetLogEventWriter(HearFile);
  LogChange(LogEventKind::Removed, "removed file \"C:\\x\"", "remove file \"C:\\x\"");
  LogfUtf8(LogEventKind::Failed, "could not remove %s", "folder \"C:\\y\"");
  LogEvent("box");
  SetEventLogWriter(nullptr);
  Logf(LogEventKind::Result, "result code %d", 0);
  SetLogEventWriter(nullptr);
  const auto kind = [](LogEventKind k) { return std::to_string(static_cast<int>(k)); };
  EXPECT_EQ(heard, (std::vector<std::string>{
                       "events " + kind(LogEventKind::Removed) + " removed file \"C:\\x\"",
                       "file " + kind(LogEventKind::Removed) + " removed file \"C:\\x\"",
                       "events " + kind(LogEventKind::Failed) + " could not remove folder \"C:\\y\"",
                       "file " + kind(LogEventKind::Failed) + " could not remove folder \"C:\\y\"",
                       "events " + kind(LogEventKind::Note) + " box", "file " + kind(LogEventKind::Note) + " box",
                       "file " + kind(LogEventKind::Result) + " result code 0"}));
  for (LogEventKind change : {LogEventKind::Removed, LogEventKind::Scheduled, LogEventKind::Written,
                              LogEventKind::Unregistered, LogEventKind::InstallerStarted})
    EXPECT_TRUE(IsChange(change));
  for (LogEventKind other : {LogEventKind::Note, LogEventKind::Failed, LogEventKind::Refused, LogEventKind::Result,
                             LogEventKind::RefusedCommandLine})
    EXPECT_FALSE(IsChange(other));
}

// A text the code page cannot convert stays UTF-8: each byte outside ASCII
// becomes U+FFFD, every other byte is kept.
TEST(OperationsLogTest, UnconvertibleBytesBecomeReplacementCharacters) {
  EXPECT_EQ(WithReplacementCharacters(""), "");
  EXPECT_EQ(WithReplacementCharacters("C:\\a b.txt"), "C:\\a b.txt");
  EXPECT_EQ(WithReplacementCharacters("x\x81y\xFF"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

}  // namespace
