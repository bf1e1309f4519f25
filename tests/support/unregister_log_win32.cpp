#include "support/unregister_log_win32.h"

#include <windows.h>

UnregisterLog::UnregisterLog() { SetEnvironmentVariableA("CPANEL_UNREGISTER_LOG", (folder_ / "unregister.log").c_str()); }

UnregisterLog::~UnregisterLog() { SetEnvironmentVariableA("CPANEL_UNREGISTER_LOG", nullptr); }

std::vector<std::string> UnregisterLog::Libraries() const {
  std::vector<std::string> names;
  std::string text = ReadTextFile(folder_ / "unregister.log");
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string path = text.substr(start, end - start);
    names.push_back(path.substr(path.find_last_of('\\') + 1));
    start = end + 2;
  }
  return names;
}
