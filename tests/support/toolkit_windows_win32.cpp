#include "support/toolkit_windows_win32.h"

#include <cstdio>

#include "toolkit/application.h"
#include "toolkit/dialog_procedure_win32.h"
#include "toolkit/dialogs_win32.h"

Watchdog::Watchdog(DWORD milliseconds)
    : disarmed_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_(nullptr),
      milliseconds_(milliseconds) {
  thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

Watchdog::~Watchdog() {
  SetEvent(disarmed_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  CloseHandle(disarmed_);
}

DWORD WINAPI Watchdog::Watch(void* self) {
  auto* watchdog = static_cast<Watchdog*>(self);
  if (WaitForSingleObject(watchdog->disarmed_, watchdog->milliseconds_) == WAIT_TIMEOUT) {
    fprintf(stderr, "watchdog: the test did not finish within %lu ms\n",
            static_cast<unsigned long>(watchdog->milliseconds_));
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 99);
  }
  return 0;
}

std::vector<EventKind> EventLog::Kinds() const {
  std::vector<EventKind> kinds;
  for (const SeenEvent& seen : events) kinds.push_back(seen.kind);
  return kinds;
}

std::vector<EventKind> EventLog::KindsOf(HWND window) const {
  std::vector<EventKind> kinds;
  for (const SeenEvent& seen : events) {
    if (seen.window == window) kinds.push_back(seen.kind);
  }
  return kinds;
}

std::vector<HWND> EventLog::WindowsOf(EventKind kind) const {
  std::vector<HWND> windows;
  for (const SeenEvent& seen : events) {
    if (seen.kind == kind) windows.push_back(seen.window);
  }
  return windows;
}

size_t EventLog::Count(EventKind kind) const {
  size_t count = 0;
  for (const SeenEvent& seen : events) count += seen.kind == kind;
  return count;
}

const SeenEvent* EventLog::Last(EventKind kind) const {
  for (auto it = events.rbegin(); it != events.rend(); ++it) {
    if (it->kind == kind) return &*it;
  }
  return nullptr;
}

uint8_t LoggingCallback(HWND window, EventKind kind, EventRecord* record) {
  auto* log = static_cast<EventLog*>(record->event.userData);
  log->events.push_back(SeenEvent{window, kind, *record});
  if (log->action) log->action(window, kind, record);
  if (kind == EventClosing && log->closeOnClosing) CloseToolkitWindow(CurrentWindowManager(), window);
  return kind < 32 ? log->answers[kind] : 0;
}

bool RegisterLogged(WindowManager* manager, HWND window, EventLog* log, HWND parent,
                    int32_t tickInterval, bool disableParent) {
  return RegisterWindow(manager, window, parent, LoggingCallback, log, tickInterval, disableParent,
                        false);
}

void ToolkitWindowTest::SetUp() {
  EnterTestDesktop();
  ASSERT_TRUE(ToolkitStartUp(GetModuleHandleA(nullptr)));
  ASSERT_TRUE(OpenWindowManager());
  manager = CurrentWindowManager();
  ASSERT_NE(manager, nullptr);
}

EventLog* ToolkitWindowTest::NewLog() {
  logs_.push_back(std::make_unique<EventLog>());
  return logs_.back().get();
}

void ToolkitWindowTest::TearDown() {
  // A log's action may refer to the test body's locals, gone by now: the
  // windows still open are closed without it.
  for (const std::unique_ptr<EventLog>& log : logs_) log->action = nullptr;
  if (manager) CloseWindowManager();
  ToolkitShutDown();
  // Leave no message of this test for the next one.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

HWND NewDialog(DialogKind kind, int32_t x, int32_t y, int32_t width, int32_t height, HWND parent) {
  return CreateToolkitDialog(parent, x, y, width, height, kind);
}

void SetKeys(std::initializer_list<int> downKeys, bool capsLock) {
  BYTE keys[256] = {};
  for (int key : downKeys) keys[key] = 0x80;
  if (capsLock) keys[VK_CAPITAL] |= 0x01;
  SetKeyboardState(keys);
}
