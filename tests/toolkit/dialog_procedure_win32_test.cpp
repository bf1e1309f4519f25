// The dialog procedure: messages of registered windows reach their callbacks
// as events, with the answers and the paint, sizing and drop cycles.
#include "toolkit/dialog_procedure_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/rect_compare.h"
#include "support/toolkit_windows_win32.h"
#include "toolkit/controls_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/events_win32.h"
#include "toolkit/window_manager_win32.h"

namespace {

class DialogProcedureWin32Test : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    SetKeys({});
    window = NewDialog(DialogKindSystemMenuSizable, 50, 60, 200, 100);
    ASSERT_NE(window, nullptr);
    log = NewLog();
    ASSERT_TRUE(RegisterLogged(manager, window, log));
    log->events.clear();
  }
  void TearDown() override {
    SetKeys({});
    ToolkitWindowTest::TearDown();
  }

  HWND window = nullptr;
  EventLog* log = nullptr;
};

constexpr UINT TestMessage = WM_APP + 3;

TEST_F(DialogProcedureWin32Test, MessageReachesTheCallbackWithTheWholeRecord) {
  SendMessageA(window, WM_KEYDOWN, 'Q', 0x40000001);
  ASSERT_EQ(log->events.size(), 1u);
  const SeenEvent& seen = log->events[0];
  EXPECT_EQ(seen.window, window);
  EXPECT_EQ(seen.kind, EventKeyDown);
  EXPECT_EQ(seen.record.window, window);
  EXPECT_EQ(seen.record.event.source, window);
  EXPECT_EQ(seen.record.event.kind, EventKeyDown);
  EXPECT_EQ(seen.record.event.userData, log);
  EXPECT_EQ(seen.record.event.keyCode, static_cast<uint32_t>('Q'));
  EXPECT_EQ(seen.record.event.repeat, 1);
  EXPECT_EQ(seen.record.message.window, window);
  EXPECT_EQ(seen.record.message.number, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(seen.record.message.wParam, static_cast<WPARAM>('Q'));
  EXPECT_EQ(seen.record.message.lParam, 0x40000001);
}

TEST_F(DialogProcedureWin32Test, AnswersBecomeTheResult) {
  const struct {
    uint8_t answer;
    INT_PTR result;
  } cases[] = {{0, 0}, {1, 1}, {255, -1}, {2, 2}};
  for (const auto& c : cases) {
    log->answers[EventOther] = c.answer;
    EXPECT_EQ(ToolkitDialogProc(window, TestMessage, 0, 0), c.result) << int(c.answer);
  }
}

TEST_F(DialogProcedureWin32Test, InitDialogAndWindowsWithoutAnOpenEntryGetTheDefault) {
  EXPECT_EQ(ToolkitDialogProc(window, WM_INITDIALOG, 0, 0), 1);
  HWND stranger = NewDialog();
  log->answers[EventOther] = AnswerHandled;
  log->events.clear();
  EXPECT_EQ(ToolkitDialogProc(stranger, TestMessage, 0, 0), 0);
  EXPECT_TRUE(log->events.empty());
  DestroyWindow(stranger);
}

TEST_F(DialogProcedureWin32Test, NoMessageBeforeOpenedOrWhileClosing) {
  HWND other = NewDialog();
  EventLog* otherLog = NewLog();
  otherLog->answers[EventOther] = AnswerHandled;
  otherLog->action = [&](HWND w, EventKind kind, EventRecord*) {
    if (kind == EventOpened || kind == EventClosing) {
      SendMessageA(w, TestMessage, 0, 0);
      SendMessageA(w, WM_CLOSE, 0, 0);
      EXPECT_EQ(ToolkitDialogProc(w, TestMessage, 0, 0), 0);
    }
  };
  ASSERT_TRUE(RegisterLogged(manager, other, otherLog));
  SendMessageA(other, TestMessage, 0, 0);
  EXPECT_TRUE(UnregisterWindow(manager, other));
  std::vector<UINT> numbers;
  for (const SeenEvent& seen : otherLog->events) numbers.push_back(seen.record.message.number);
  EXPECT_EQ(otherLog->Kinds(), (std::vector<EventKind>{EventOpened, EventOther, EventClosing}));
  EXPECT_EQ(numbers, (std::vector<UINT>{0, TestMessage, 0}));
}

TEST_F(DialogProcedureWin32Test, NoWindowManagerNoEvents) {
  ASSERT_TRUE(CloseWindowManager());
  manager = nullptr;
  HWND plain = NewDialog();
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(ToolkitDialogProc(plain, WM_INITDIALOG, 0, 0), 0);
  EXPECT_EQ(ToolkitDialogProc(plain, WM_CLOSE, 0, 0), 0);
  DestroyWindow(plain);
}

TEST_F(DialogProcedureWin32Test, CloseRequestAnsweredZeroUnregisters) {
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(log->Kinds(), (std::vector<EventKind>{EventCloseRequest, EventClosing}));
  EXPECT_EQ(FindWindowEntry(manager, window), nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogProcedureWin32Test, CloseRequestAnsweredOneKeepsTheWindow) {
  log->answers[EventCloseRequest] = AnswerHandled;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(log->Kinds(), (std::vector<EventKind>{EventCloseRequest}));
  EXPECT_NE(FindWindowEntry(manager, window), nullptr);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(DialogProcedureWin32Test, DestroyedFromOutsideTheWindowIsUnregistered) {
  // The callback closes windows only from its closing event, which comes here
  // while the system is already destroying the window.
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(FindWindowEntry(manager, window), nullptr);
  EXPECT_EQ(log->Count(EventCloseRequest), 1u);
  EXPECT_EQ(log->Count(EventClosing), 1u);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogProcedureWin32Test, SizingShowsTheClientAreaAndWritesBackTheFrame) {
  int32_t left, top, right, bottom;
  ASSERT_TRUE(FrameInsets(window, &left, &top, &right, &bottom));
  RECT frame;
  GetWindowRect(window, &frame);
  // The frame as proposed while dragging the bottom-right corner.
  RECT proposed = {frame.left, frame.top, frame.right + 30, frame.bottom + 40};

  log->answers[EventSizing] = AnswerNotHandled;
  RECT untouched = proposed;
  EXPECT_EQ(ToolkitDialogProc(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&untouched)), 0);
  ASSERT_EQ(log->Count(EventSizing), 1u);
  EXPECT_EQ(log->Last(EventSizing)->record.event.area, (Rect{0, 0, 230, 140}));
  EXPECT_EQ(untouched.right, proposed.right);
  EXPECT_EQ(untouched.bottom, proposed.bottom);

  // The callback keeps the client area at 220 x 120 pixels at most.
  log->answers[EventSizing] = AnswerHandled;
  log->action = [](HWND, EventKind kind, EventRecord* record) {
    if (kind != EventSizing) return;
    Rect& area = record->event.area;
    if (area.right - area.left > 220) area.right = area.left + 220;
    if (area.bottom - area.top > 120) area.bottom = area.top + 120;
  };
  EXPECT_EQ(ToolkitDialogProc(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed)), 1);
  EXPECT_EQ(proposed.left, frame.left);
  EXPECT_EQ(proposed.top, frame.top);
  EXPECT_EQ(proposed.right - proposed.left, left + 220 + right);
  EXPECT_EQ(proposed.bottom - proposed.top, top + 120 + bottom);
}

TEST_F(DialogProcedureWin32Test, PaintCycleHandsOverTheDeviceContextAndTheRegion) {
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  log->events.clear();
  std::vector<bool> hadDeviceContext;
  log->action = [&](HWND, EventKind kind, EventRecord* record) {
    if (kind == EventPaint) hadDeviceContext.push_back(record->event.deviceContext != nullptr);
  };
  RECT dirty = {10, 20, 60, 50};
  InvalidateRect(window, &dirty, FALSE);
  UpdateWindow(window);
  ASSERT_EQ(log->Count(EventPaint), 1u);
  const EventRecord& record = log->Last(EventPaint)->record;
  EXPECT_EQ(record.event.area, (Rect{10, 20, 60, 50}));
  EXPECT_EQ(hadDeviceContext, (std::vector<bool>{true}));
  RECT left;
  EXPECT_FALSE(GetUpdateRect(window, &left, FALSE));
  // Nothing to paint: no event, result 0.
  log->answers[EventPaint] = AnswerHandled;
  EXPECT_EQ(ToolkitDialogProc(window, WM_PAINT, 0, 0), 0);
  EXPECT_EQ(log->Count(EventPaint), 1u);
}

TEST_F(DialogProcedureWin32Test, RegisteringProducesTheFirstPaintEvent) {
  HWND shown = NewDialog();
  EventLog* shownLog = NewLog();
  shownLog->action = [](HWND w, EventKind kind, EventRecord*) {
    if (kind == EventOpened) {
      ShowWindow(w, SW_SHOW);
      UpdateWindow(w);
    }
  };
  ASSERT_TRUE(RegisterLogged(manager, shown, shownLog));
  EXPECT_EQ(shownLog->Count(EventPaint), 1u);
  EXPECT_EQ(shownLog->Last(EventPaint)->record.event.area, (Rect{0, 0, 250, 250}));
}

TEST_F(DialogProcedureWin32Test, SizeMaxShowIsKindZeroWithoutModifiers) {
  SetKeys({VK_SHIFT, VK_CONTROL, VK_MENU}, true);
  SendMessageA(window, WM_SIZE, SIZE_MAXSHOW, MAKELPARAM(10, 10));
  ASSERT_EQ(log->events.size(), 1u);
  const EventRecord& record = log->events[0].record;
  EXPECT_EQ(log->events[0].kind, EventOther);
  EXPECT_EQ(record.event.shift + record.event.control + record.event.alt + record.event.capsLock +
                record.event.command,
            0);
}

TEST_F(DialogProcedureWin32Test, CommandsFromControlsAndKeys) {
  ListBox list(window, 600, Rect{0, 0, 100, 80}, 1, 0);
  PushButton button(window, 4, Rect{0, 80, 100, 100}, "Ok", 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(600, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list.ControlWindow()));
  SendMessageA(button.ControlWindow(), BM_CLICK, 0, 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  std::vector<std::vector<uint32_t>> commands;
  for (const SeenEvent& seen : log->events) {
    if (seen.kind == EventCommand)
      commands.push_back({seen.record.event.commandId, seen.record.event.notificationCode,
                          seen.record.event.doubleClick});
  }
  EXPECT_EQ(commands, (std::vector<std::vector<uint32_t>>{
                          {600, LBN_DBLCLK, 1}, {4, BN_CLICKED, 0}, {IDCANCEL, 0, 0}}));
}

TEST_F(DialogProcedureWin32Test, KeyDownHeldAndKeyUp) {
  SendMessageA(window, WM_KEYDOWN, VK_DOWN, 0x01500001);
  SendMessageA(window, WM_KEYDOWN, VK_DOWN, 0x41500001);
  SendMessageA(window, WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC1500001u));
  std::vector<std::vector<uint32_t>> keys;
  for (const SeenEvent& seen : log->events)
    keys.push_back({seen.kind, seen.record.event.keyCode, seen.record.event.repeat});
  EXPECT_EQ(keys, (std::vector<std::vector<uint32_t>>{
                      {EventKeyDown, VK_DOWN, 0}, {EventKeyDown, VK_DOWN, 1}, {EventKeyUp, VK_DOWN, 0}}));
}

// A drop as the shell hands it over: a DROPFILES header followed by the
// NUL-separated file names and one more NUL.
HDROP MakeDrop(POINT point, const std::vector<std::string>& files) {
  size_t bytes = sizeof(DROPFILES) + 1;
  for (const std::string& file : files) bytes += file.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = point;
  header->fNC = FALSE;
  header->fWide = FALSE;
  char* names = reinterpret_cast<char*>(header + 1);
  for (const std::string& file : files) {
    memcpy(names, file.c_str(), file.size() + 1);
    names += file.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(DialogProcedureWin32Test, DroppedFilesArriveAsPathsWithTheDropPoint) {
  std::string longPath = "C:\\" + std::string(297, 'x');
  ASSERT_EQ(longPath.size(), 300u);
  std::string limitPath = "C:\\" + std::string(256, 'y');  // 259 characters: still kept
  std::vector<std::string> files = {"C:\\Players\\first.dll", longPath, "D:\\third file.txt", limitPath,
                                    "C:\\" + std::string(257, 'z')};
  std::vector<std::string> seenPaths;
  uint32_t seenCount = 0;
  uint8_t present = 0;
  log->action = [&](HWND, EventKind kind, EventRecord* record) {
    if (kind != EventFilesDropped) return;
    const DroppedFiles* dropped = record->event.droppedFiles;
    present = dropped->present;
    seenCount = dropped->count;
    for (uint32_t i = 0; i < dropped->count; ++i) seenPaths.push_back(dropped->files[i].Text());
  };
  log->answers[EventFilesDropped] = AnswerHandled;
  HDROP drop = MakeDrop(POINT{17, 23}, files);
  EXPECT_EQ(ToolkitDialogProc(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 1);
  ASSERT_EQ(log->Count(EventFilesDropped), 1u);
  const EventRecord& record = log->Last(EventFilesDropped)->record;
  EXPECT_EQ(record.event.x, 17u);
  EXPECT_EQ(record.event.y, 23u);
  EXPECT_EQ(present, 1);
  EXPECT_EQ(seenCount, 5u);
  EXPECT_EQ(seenPaths,
            (std::vector<std::string>{"C:\\Players\\first.dll", "", "D:\\third file.txt", limitPath, ""}));
}

TEST_F(DialogProcedureWin32Test, EmptyDropStillReachesTheCallback) {
  HDROP drop = MakeDrop(POINT{0, 0}, {});
  SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  ASSERT_EQ(log->Count(EventFilesDropped), 1u);
}

}  // namespace
