#pragma once
// The lines of an operations log ("/log FILE") as the tests read them.

#include <string>
#include <vector>

struct LogLine {
  unsigned long processId = 0;
  std::string event;
};

// The lines of the log at path, each checked for its form (a failure of the
// test when one is not a log line): the local time in ISO 8601 with
// milliseconds and offset, the process id, the event.
std::vector<LogLine> ReadLog(const std::string& path);

// The events of lines, in their order.
std::vector<std::string> Events(const std::vector<LogLine>& lines);
