#include "support/unregister_log_win32.h"

#include <windows.h>

namespace {

// The file names of the paths in the file log, one a line.
std::vector<std::string> NamesIn(const std::string& log) {
  std::vector<std::string> names;
  std::string text = ReadTextFile(log);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    names.push_back(line.substr(line.find_last_of('\\') + 1));
    start = end + 2;
  }
  return names;
}

}  // namespace

UnregisterLog::UnregisterLog() {
  SetEnvironmentVariableA("CPANEL_UNREGISTER_LOG", (folder_ / "unregister.log").c_str());
  SetEnvironmentVariableA("CPANEL_LOAD_LOG", (folder_ / "load.log").c_str());
}

UnregisterLog::~UnregisterLog() {
  SetEnvironmentVariableA("CPANEL_UNREGISTER_LOG", nullptr);
  SetEnvironmentVariableA("CPANEL_LOAD_LOG", nullptr);
}

std::vector<std::string> UnregisterLog::Libraries() const { return NamesIn(folder_ / "unregister.log"); }

std::vector<std::string> UnregisterLog::Loaded() const { return NamesIn(folder_ / "load.log"); }
