#include "support/operations_log_file_win32.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/temp_folder_win32.h"

std::vector<LogLine> ReadLog(const std::string& path) {
  static const std::regex form(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d \[(\d+)\] (.*)$)");
  std::vector<LogLine> lines;
  const std::string text = ReadTextFile(path);
  EXPECT_TRUE(text.empty() || text.substr(text.size() - 2) == "\r\n") << "the last line is whole";
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    std::smatch parts;
    if (std::regex_match(line, parts, form)) {
      lines.push_back({std::stoul(parts[1]), parts[2]});
    } else {
      ADD_FAILURE() << "not a log line: " << line;
    }
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> Events(const std::vector<LogLine>& lines) {
  std::vector<std::string> events;
  for (const LogLine& line : lines) events.push_back(line.event);
  return events;
}
