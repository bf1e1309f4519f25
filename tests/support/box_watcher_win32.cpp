#include "support/box_watcher_win32.h"

#include <cstdio>
#include <cstdlib>

#include "support/fixtures_win32.h"

namespace {

std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char next = text[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

BoxWatcher::BoxWatcher(bool answerYes, DWORD lifetimeMs) {
  static unsigned counter = 0;
  char eventName[64];
  snprintf(eventName, sizeof eventName, "CpanelBoxWatcherStop-%lu-%u", GetCurrentProcessId(), ++counter);
  stop_ = CreateEventA(nullptr, TRUE, FALSE, eventName);
  if (!stop_) return;
  std::string commandLine = "\"" + FixturePath("box_watcher.exe") + "\" \"" + (folder_ / "boxes.log") + "\" " +
                            eventName + (answerYes ? " yes " : " no ") + std::to_string(lifetimeMs);
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process))
    return;
  CloseHandle(process.hThread);
  process_ = process.hProcess;
}

BoxWatcher::~BoxWatcher() {
  if (process_) Stop();
  if (stop_) CloseHandle(stop_);
}

std::vector<SeenBox> BoxWatcher::Stop() {
  std::vector<SeenBox> boxes;
  if (!process_) return boxes;
  SetEvent(stop_);
  if (WaitForSingleObject(process_, 30000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  CloseHandle(process_);
  process_ = nullptr;
  for (const std::string& line : Split(ReadTextFile(folder_ / "boxes.log"), '\n')) {
    std::vector<std::string> fields = Split(line, '\t');
    if (fields.size() != 4) continue;
    SeenBox box;
    box.owner = static_cast<uintptr_t>(strtoull(fields[0].c_str(), nullptr, 10));
    box.buttons = fields[1];
    box.caption = Unescaped(fields[2]);
    box.text = Unescaped(fields[3]);
    boxes.push_back(box);
  }
  return boxes;
}
