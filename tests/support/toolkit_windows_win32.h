#pragma once
// Support for tests that create real toolkit windows under Wine.
//
// Window tests run on a Wine virtual desktop of their own ("ToolkitTests",
// TestDesktopWidth x TestDesktopHeight): on a bare X server without a window
// manager no window would ever be activated or get the keyboard focus. Every
// test is guarded by a
// watchdog, so that a message loop that never ends fails the test program
// instead of hanging it.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "support/test_desktop_win32.h"
#include "toolkit/dialogs.h"
#include "toolkit/events_win32.h"
#include "toolkit/window_manager_win32.h"

// Ends the program with a message when it is not disarmed (destroyed) within
// the given time.
class Watchdog {
 public:
  explicit Watchdog(DWORD milliseconds);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  HANDLE disarmed_;
  HANDLE thread_;
  DWORD milliseconds_;
  static DWORD WINAPI Watch(void* self);
};

// One event as a callback saw it.
struct SeenEvent {
  HWND window;
  EventKind kind;
  EventRecord record;
};

// What a test window's callback does: records every event, answers by kind,
// runs an optional action, and closes its window on the closing event.
struct EventLog {
  std::vector<SeenEvent> events;
  uint8_t answers[32] = {};  // the answer for each kind
  bool closeOnClosing = true;
  std::function<void(HWND window, EventKind kind, EventRecord* record)> action;

  // The kinds seen, in order.
  std::vector<EventKind> Kinds() const;
  // The kinds seen for one window, in order.
  std::vector<EventKind> KindsOf(HWND window) const;
  // The windows that got events of kind, in order.
  std::vector<HWND> WindowsOf(EventKind kind) const;
  // How many events of kind were seen.
  size_t Count(EventKind kind) const;
  // The last event of kind, or none.
  const SeenEvent* Last(EventKind kind) const;
};

// The callback for windows registered with an EventLog as user data.
uint8_t LoggingCallback(HWND window, EventKind kind, EventRecord* record);

// Registers window with LoggingCallback and log as user data.
bool RegisterLogged(WindowManager* manager, HWND window, EventLog* log, HWND parent = nullptr,
                    int32_t tickInterval = -1, bool disableParent = false);

// Base fixture: the test desktop, the toolkit started with this program's
// instance, the window manager open and a watchdog of 60 seconds. Windows
// still registered at the end are unregistered (and closed by their
// callbacks) when the manager closes; logs from NewLog outlive them.
class ToolkitWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A log that lives until the test's windows are gone.
  EventLog* NewLog();

  WindowManager* manager = nullptr;

 private:
  Watchdog watchdog_{60000};
  std::vector<std::unique_ptr<EventLog>> logs_;
};

// A new hidden toolkit dialog of kind at (x, y) with a client area of width x
// height.
HWND NewDialog(DialogKind kind = 2, int32_t x = 0, int32_t y = 0, int32_t width = 250,
               int32_t height = 250, HWND parent = nullptr);

// Sets the thread's keyboard state: each listed virtual key down (0x80),
// VK_CAPITAL toggled when capsLock; every other key up.
void SetKeys(std::initializer_list<int> downKeys, bool capsLock = false);
