#include "toolkit/events_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/rect_compare.h"
#include "support/toolkit_windows_win32.h"
#include "toolkit/controls_win32.h"
#include "toolkit/dialog_procedure_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/window_manager_win32.h"

namespace {

class EventTranslationWin32Test : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    dialog = NewDialog();
    SetKeys({});
  }
  void TearDown() override {
    SetKeys({});
    DestroyWindow(dialog);
    ToolkitWindowTest::TearDown();
  }

  ToolkitEvent Translate(UINT number, WPARAM wParam, LPARAM lParam) {
    WindowMessage message{dialog, number, wParam, lParam};
    ToolkitEvent event;
    memset(&event, 0xCD, sizeof event);
    EXPECT_TRUE(TranslateToolkitEvent(&message, &event));
    return event;
  }

  HWND dialog = nullptr;
};

constexpr LPARAM Repeat = 1 << 30;

TEST_F(EventTranslationWin32Test, EachMessageGivesItsKindAndFields) {
  const struct {
    const char* name;
    UINT number;
    WPARAM wParam;
    LPARAM lParam;
    EventKind kind;
    uint32_t x, y;
    int32_t character;
    uint32_t keyCode;
    uint8_t repeat, system, doubleClick;
  } cases[] = {
      {"WM_DESTROY", WM_DESTROY, 0, 0, 5},
      {"WM_CLOSE", WM_CLOSE, 0, 0, 5},
      {"WM_SIZE restored", WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 20), 12},
      {"WM_SIZE minimised", WM_SIZE, SIZE_MINIMIZED, 0, 11},
      {"WM_SIZE maximised", WM_SIZE, SIZE_MAXIMIZED, 0, 10},
      {"WM_SIZE max show", WM_SIZE, SIZE_MAXSHOW, 0, 0},
      {"WM_SIZE max hide", WM_SIZE, SIZE_MAXHIDE, 0, 0},
      {"WM_ACTIVATE inactive", WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0, 8},
      {"WM_ACTIVATE active", WM_ACTIVATE, WA_ACTIVE, 0, 7},
      {"WM_ACTIVATE click", WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, 7},
      {"WM_ACTIVATE other", WM_ACTIVATE, 3, 0, 0},
      {"WM_PAINT", WM_PAINT, 0, 0, 21},
      {"WM_KEYDOWN", WM_KEYDOWN, 'A', 0x001E0001, 18, 0, 0, 'A', 'A', 0, 0, 0},
      {"WM_KEYDOWN held", WM_KEYDOWN, 'A', 0x001E0001 | Repeat, 18, 0, 0, 'A', 'A', 1, 0, 0},
      {"WM_KEYDOWN high byte", WM_KEYDOWN, 0x1E9, 0, 18, 0, 0, -23, 0x1E9, 0, 0, 0},
      {"WM_SYSKEYDOWN", WM_SYSKEYDOWN, VK_F10, Repeat, 18, 0, 0, VK_F10, VK_F10, 1, 1, 0},
      {"WM_KEYUP", WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001u), 20, 0, 0, 'A', 'A', 0, 0, 0},
      {"WM_SYSKEYUP", WM_SYSKEYUP, VK_MENU, Repeat, 20, 0, 0, VK_MENU, VK_MENU, 0, 1, 0},
      {"WM_CHAR", WM_CHAR, 'x', 0, 19, 0, 0, 'x', 0, 0, 0, 0},
      {"WM_CHAR held", WM_CHAR, 'x', Repeat, 19, 0, 0, 'x', 0, 1, 0, 0},
      {"WM_CHAR high byte", WM_CHAR, 0xFC, 0, 19, 0, 0, -4, 0, 0, 0, 0},
      {"WM_SYSCHAR", WM_SYSCHAR, 'f', Repeat, 19, 0, 0, 'f', 0, 1, 1, 0},
      {"WM_TIMER", WM_TIMER, 1, 0, 22},
      {"WM_VSCROLL", WM_VSCROLL, SB_LINEDOWN, 0, 27},
      {"WM_SIZING", WM_SIZING, WMSZ_RIGHT, 0, 9},
      {"WM_DROPFILES", WM_DROPFILES, 0, 0, 24},
      {"WM_MOUSEMOVE", WM_MOUSEMOVE, 0, MAKELPARAM(12, 34), 17, 12, 34},
      {"WM_LBUTTONDOWN", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2), 13, 1, 2},
      {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 4), 13, 3, 4, 0, 0, 0, 0, 1},
      {"WM_LBUTTONUP", WM_LBUTTONUP, 0, MAKELPARAM(5, 6), 15, 5, 6},
      {"WM_RBUTTONDOWN", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 8), 14, 7, 8},
      {"WM_RBUTTONDBLCLK", WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(9, 10), 14, 9, 10, 0, 0, 0, 0, 1},
      {"WM_RBUTTONUP", WM_RBUTTONUP, 0, MAKELPARAM(11, 12), 16, 11, 12},
      // Coordinates left of or above the client area come as unsigned halves.
      {"negative position", WM_MOUSEMOVE, 0, MAKELPARAM(-2, -3), 17, 0xFFFE, 0xFFFD},
      {"WM_SETFOCUS", WM_SETFOCUS, 0, 0, 0},
      {"WM_APP", WM_APP, 1, 2, 0},
  };
  for (const auto& c : cases) {
    ToolkitEvent event = Translate(c.number, c.wParam, c.lParam);
    EXPECT_EQ(event.source, dialog) << c.name;
    EXPECT_EQ(event.kind, c.kind) << c.name;
    EXPECT_EQ(event.x, c.x) << c.name;
    EXPECT_EQ(event.y, c.y) << c.name;
    EXPECT_EQ(event.character, c.character) << c.name;
    EXPECT_EQ(event.keyCode, c.keyCode) << c.name;
    EXPECT_EQ(event.repeat, c.repeat) << c.name;
    EXPECT_EQ(event.system, c.system) << c.name;
    EXPECT_EQ(event.doubleClick, c.doubleClick) << c.name;
    EXPECT_EQ(event.userData, nullptr) << c.name;
    EXPECT_EQ(event.droppedFiles, nullptr) << c.name;
    EXPECT_EQ(event.deviceContext, nullptr) << c.name;
    EXPECT_EQ(event.area.left | event.area.top | event.area.right | event.area.bottom, 0) << c.name;
    EXPECT_EQ(event.commandId, 0u) << c.name;
    EXPECT_EQ(event.notificationCode, 0u) << c.name;
  }
}

TEST_F(EventTranslationWin32Test, ADpiChangeCarriesTheNewDpiAndTheSuggestedFrame) {
  RECT suggested = {-20, 40, 355, 414};
  ToolkitEvent event = Translate(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(event.kind, EventDpiChanged);
  EXPECT_EQ(event.x, 144u);
  EXPECT_EQ(event.area, (Rect{-20, 40, 355, 414}));
  event = Translate(WM_DPICHANGED, MAKEWPARAM(120, 120), 0);  // without a frame: none
  EXPECT_EQ(event.x, 120u);
  EXPECT_EQ(event.area, (Rect{0, 0, 0, 0}));
}

TEST_F(EventTranslationWin32Test, ModifiersComeFromTheMouseFlagsOrTheKeyboard) {
  const struct {
    const char* name;
    std::initializer_list<int> keys;
    bool capsLock;
    UINT number;
    WPARAM wParam;
    uint8_t shift, control, alt, capsLockOn;
  } cases[] = {
      // Mouse events take shift and control from their own flags only.
      {"mouse flags, keys up", {}, false, WM_LBUTTONDOWN, MK_SHIFT | MK_CONTROL, 1, 1, 0, 0},
      {"no mouse flags, keys down", {VK_SHIFT, VK_CONTROL}, false, WM_LBUTTONDOWN, 0, 0, 0, 0, 0},
      {"shift flag only", {VK_CONTROL}, false, WM_MOUSEMOVE, MK_SHIFT, 1, 0, 0, 0},
      {"control flag, alt down", {VK_MENU}, false, WM_RBUTTONUP, MK_CONTROL, 0, 1, 1, 0},
      {"mouse and caps lock", {}, true, WM_LBUTTONUP, 0, 0, 0, 0, 1},
      // Every other event reads the keyboard state.
      {"key, shift down", {VK_SHIFT}, false, WM_KEYDOWN, 'A', 1, 0, 0, 0},
      {"key, control down", {VK_CONTROL}, false, WM_KEYUP, 'A', 0, 1, 0, 0},
      {"key, all down", {VK_SHIFT, VK_CONTROL, VK_MENU}, true, WM_CHAR, 'a', 1, 1, 1, 1},
      {"command, shift down", {VK_SHIFT}, false, WM_COMMAND, 1, 1, 0, 0, 0},
      {"tick, caps lock", {}, true, WM_TIMER, 1, 0, 0, 0, 1},
      // Events of kind 0 carry none.
      {"kind 0", {VK_SHIFT, VK_CONTROL, VK_MENU}, true, WM_SIZE, SIZE_MAXSHOW, 0, 0, 0, 0},
      {"other message", {VK_SHIFT, VK_CONTROL, VK_MENU}, true, WM_APP, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SetKeys(c.keys, c.capsLock);
    ToolkitEvent event = Translate(c.number, c.wParam, 0);
    EXPECT_EQ(event.shift, c.shift) << c.name;
    EXPECT_EQ(event.control, c.control) << c.name;
    EXPECT_EQ(event.alt, c.alt) << c.name;
    EXPECT_EQ(event.capsLock, c.capsLockOn) << c.name;
    EXPECT_EQ(event.command, event.control) << c.name;
  }
}

TEST_F(EventTranslationWin32Test, KeyStateHelpers) {
  SetKeys({VK_SHIFT}, true);
  EXPECT_TRUE(KeyIsDown(VK_SHIFT));
  EXPECT_FALSE(KeyIsDown(VK_CONTROL));
  EXPECT_TRUE(CapsLockOn());
  // Caps lock held down but toggled off.
  SetKeys({VK_CAPITAL}, false);
  EXPECT_TRUE(KeyIsDown(VK_CAPITAL));
  EXPECT_FALSE(CapsLockOn());
}

TEST_F(EventTranslationWin32Test, CommandDoubleClickDependsOnTheControlClass) {
  PushButton button(dialog, 4, Rect{0, 0, 50, 20}, "Ok", 0);
  ListBox list(dialog, 600, Rect{0, 20, 50, 80}, 1, 0);
  StaticText text(dialog, 7, Rect{0, 80, 50, 100}, "text", 0);
  EditField edit(dialog, 8, Rect{0, 100, 50, 120}, "edit", 0);
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 120, 50, 80,
                               dialog, reinterpret_cast<HMENU>(9), nullptr, nullptr);
  ASSERT_NE(combo, nullptr);
  const struct {
    const char* name;
    HWND control;
    WORD id, code;
    uint8_t doubleClick;
  } cases[] = {
      {"list box, LBN_DBLCLK", list.ControlWindow(), 600, LBN_DBLCLK, 1},
      {"list box, LBN_SELCHANGE", list.ControlWindow(), 600, LBN_SELCHANGE, 0},
      {"button, BN_CLICKED", button.ControlWindow(), 4, BN_CLICKED, 0},
      {"button, BN_DOUBLECLICKED", button.ControlWindow(), 4, BN_DOUBLECLICKED, 1},
      {"button, code 2", button.ControlWindow(), 4, 2, 0},
      {"static, STN_DBLCLK", text.ControlWindow(), 7, STN_DBLCLK, 1},
      {"static, STN_CLICKED", text.ControlWindow(), 7, STN_CLICKED, 0},
      {"combo box, CBN_DBLCLK", combo, 9, CBN_DBLCLK, 1},
      {"combo box, code 1", combo, 9, 1, 0},
      {"edit, code 2", edit.ControlWindow(), 8, 2, 0},
      {"menu or accelerator", nullptr, 2, 2, 0},
      {"accelerator code 1", nullptr, 1, 1, 0},
  };
  for (const auto& c : cases) {
    ToolkitEvent event = Translate(WM_COMMAND, MAKEWPARAM(c.id, c.code), reinterpret_cast<LPARAM>(c.control));
    EXPECT_EQ(event.kind, EventCommand) << c.name;
    EXPECT_EQ(event.commandId, c.id) << c.name;
    EXPECT_EQ(event.notificationCode, c.code) << c.name;
    EXPECT_EQ(event.doubleClick, c.doubleClick) << c.name;
  }
}

TEST_F(EventTranslationWin32Test, MissingMessageOrEventFails) {
  WindowMessage message{dialog, WM_CLOSE, 0, 0};
  ToolkitEvent event;
  EXPECT_FALSE(TranslateToolkitEvent(nullptr, &event));
  EXPECT_FALSE(TranslateToolkitEvent(&message, nullptr));
}

}  // namespace

// The dialog manager's keyboard handling in the message loop. These tests
// need real activation and keyboard focus, which the test desktop (a Wine
// virtual desktop) provides.

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

TEST_F(DialogKeysWin32Test, KeysLeftForTheWholeThreadStillGetTheDialogKeys) {
  // Keys that come while a pass is past the window's own messages.
  SetFocus(first->ControlWindow());
  PressKey(first->ControlWindow(), VK_TAB);
  PressKey(first->ControlWindow(), VK_ESCAPE);
  EXPECT_GE(PumpThreadMessages(manager), 4u);
  EXPECT_EQ(GetFocus(), second->ControlWindow());
  EXPECT_EQ(Commands(), (std::vector<uint32_t>{IDCANCEL}));
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
