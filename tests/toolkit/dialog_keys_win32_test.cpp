// The dialog manager's keyboard handling in the message loop. These tests
// need real activation and keyboard focus, which the test desktop (a Wine
// virtual desktop) provides.
#include <gtest/gtest.h>

#include <vector>

#include "support/toolkit_windows_win32.h"
#include "toolkit/control_kinds.h"
#include "toolkit/message_loop.h"
#include "toolkit/window_operations.h"

namespace {

class DialogKeysWin32Test : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    ASSERT_TRUE(EnterTestDesktop());
    window = NewDialog(DialogKindCaptioned, 100, 100, 250, 120);
    ASSERT_NE(window, nullptr);
    first = new EditField(window, 5, Rect{10, 10, 240, 30}, "first", 0);
    second = new EditField(window, 6, Rect{10, 40, 240, 60}, "second", 0);
    ok = new PushButton(window, IDOK, Rect{10, 80, 120, 110}, "OK", DefaultPushButtonStyle);
    cancel = new PushButton(window, IDCANCEL, Rect{130, 80, 240, 110}, "Cancel", 0);
    log = NewLog();
    log->action = [](HWND w, EventKind kind, EventRecord*) {
      if (kind == EventOpened) {
        ShowToolkitWindow(w);
        UpdateToolkitWindow(w);
      }
    };
    ASSERT_TRUE(RegisterLogged(manager, window, log));
    SetForegroundWindow(window);
    PumpMessages(nullptr, false, false);
    ASSERT_EQ(GetForegroundWindow(), window);
    log->events.clear();
  }
  void TearDown() override {
    ToolkitWindowTest::TearDown();
    for (Control* control : {first, second, ok, cancel}) delete control;
  }

  // The ids of the button commands seen so far (the edit fields' focus
  // notifications left out).
  std::vector<uint32_t> Commands() const {
    std::vector<uint32_t> ids;
    for (const SeenEvent& seen : log->events) {
      if (seen.kind == EventCommand && seen.record.event.notificationCode == BN_CLICKED)
        ids.push_back(seen.record.event.commandId);
    }
    return ids;
  }

  void PressKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }

  HWND window = nullptr;
  Control* first = nullptr;
  Control* second = nullptr;
  Control* ok = nullptr;
  Control* cancel = nullptr;
  EventLog* log = nullptr;
};

TEST_F(DialogKeysWin32Test, TabMovesTheFocusBetweenControls) {
  SetFocus(first->ControlWindow());
  ASSERT_EQ(GetFocus(), first->ControlWindow());
  PressKey(first->ControlWindow(), VK_TAB);
  PumpMessages(window, true, true);
  EXPECT_EQ(GetFocus(), second->ControlWindow());
}

TEST_F(DialogKeysWin32Test, EnterAndEscapeArriveAsCommandsOfOkAndCancel) {
  SetFocus(first->ControlWindow());
  PressKey(first->ControlWindow(), VK_RETURN);
  PressKey(first->ControlWindow(), VK_ESCAPE);
  PumpMessages(window, true, true);
  EXPECT_EQ(Commands(), (std::vector<uint32_t>{IDOK, IDCANCEL}));
  EXPECT_EQ(log->Last(EventCommand)->record.event.notificationCode, static_cast<uint32_t>(BN_CLICKED));
}

TEST_F(DialogKeysWin32Test, WithoutDialogKeysTheControlGetsTheKey) {
  SetFocus(first->ControlWindow());
  PressKey(first->ControlWindow(), VK_ESCAPE);
  PressKey(first->ControlWindow(), VK_TAB);
  PumpMessages(window, false, false);
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(GetFocus(), first->ControlWindow());
}

TEST_F(DialogKeysWin32Test, FocusedDialogItselfGetsItsKeysAsEvents) {
  SetFocus(window);
  ASSERT_EQ(GetFocus(), window);
  PressKey(window, VK_ESCAPE);
  PumpMessages(window, true, true);
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(log->Count(EventKeyDown), 1u);
  EXPECT_EQ(log->Last(EventKeyDown)->record.event.keyCode, static_cast<uint32_t>(VK_ESCAPE));
  EXPECT_EQ(log->Count(EventKeyUp), 1u);
  // Without the exception for a focused dialog, the dialog manager takes it.
  PressKey(window, VK_ESCAPE);
  PumpMessages(window, true, false);
  EXPECT_EQ(Commands(), (std::vector<uint32_t>{IDCANCEL}));
}

TEST_F(DialogKeysWin32Test, TypedEscapeEndsAModalLoopThroughItsCommand) {
  log->action = [this](HWND w, EventKind kind, EventRecord* record) {
    if (kind == EventCommand && record->event.commandId == IDCANCEL) UnregisterWindow(manager, w);
  };
  SetFocus(second->ControlWindow());
  // Real key strokes, through the system's input queue to the focus window.
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  EXPECT_TRUE(RunUntilClosed(manager, window));
  EXPECT_EQ(Commands(), (std::vector<uint32_t>{IDCANCEL}));
  EXPECT_EQ(log->events.back().kind, EventClosing);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
