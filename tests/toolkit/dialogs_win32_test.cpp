#include "toolkit/dialogs_win32.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/rect_compare.h"
#include "support/toolkit_windows_win32.h"
#include "toolkit/dialog_procedure_win32.h"

namespace {

class DialogWindowWin32Test : public ToolkitWindowTest {};

Rect FrameOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return Rect{r.left, r.top, r.right, r.bottom};
}

Rect ClientOf(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return Rect{r.left, r.top, r.right, r.bottom};
}

TEST_F(DialogWindowWin32Test, EachKindHasItsFrameAndClientSize) {
  const struct {
    DialogKind kind;
    uint32_t style;
  } cases[] = {
      {0, 0x86000000u}, {1, 0x86800000u}, {2, 0x86C00000u}, {3, 0x86C40000u},
      {4, 0x86CB0000u}, {5, 0x86CF0000u}, {6, 0x86EF0000u},
  };
  for (const auto& c : cases) {
    HWND window = NewDialog(c.kind, 10, 20, 250, 150);
    ASSERT_NE(window, nullptr) << c.kind;
    // The dialog manager adds dialog-style bits of its own in the low word.
    EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(window, GWL_STYLE)) & 0xFFFF0000u, c.style)
        << c.kind;
    EXPECT_FALSE(IsWindowVisible(window)) << c.kind;
    EXPECT_EQ(ClientOf(window), (Rect{0, 0, 250, 150})) << c.kind;
    Rect frame = FrameOf(window);
    EXPECT_EQ(frame.left, 10) << c.kind;
    EXPECT_EQ(frame.top, 20) << c.kind;
    DestroyWindow(window);
  }
}

TEST_F(DialogWindowWin32Test, KindAboveSixIsNotRefused) {
  HWND window = NewDialog(7, 0, 0, 120, 80);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, 0);
  EXPECT_EQ(ClientOf(window), (Rect{0, 0, 120, 80}));
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, CaptionedDialogAtTheOrigin) {
  HWND window = CreateToolkitDialog(nullptr, 0, 0, 250, 250, DialogKindCaptioned);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(ClientOf(window), (Rect{0, 0, 250, 250}));
  Rect frame = FrameOf(window);
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(WindowInstance(window), GetModuleHandleA(nullptr));
  char className[64];
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "#32770");  // the system dialog class
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, DialogOverAnotherIsOwnedByIt) {
  HWND owner = NewDialog();
  HWND dialog = NewDialog(DialogKindSystemMenu, 30, 40, 100, 60, owner);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
  EXPECT_EQ(FrameOf(dialog).left, 30);
  EXPECT_EQ(FrameOf(dialog).top, 40);
  DestroyWindow(dialog);
  DestroyWindow(owner);
}

TEST_F(DialogWindowWin32Test, FrameBoundsInClientCoordinatesStartBeforeTheClientArea) {
  HWND window = NewDialog(DialogKindCaptioned, 100, 100, 200, 100);
  Rect frame;
  ASSERT_TRUE(GetWindowBounds(window, true, &frame));
  EXPECT_LT(frame.left, 0);
  EXPECT_LT(frame.top, frame.left);  // the caption lies above the client area
  Rect client;
  ASSERT_TRUE(GetWindowBounds(window, false, &client));
  EXPECT_EQ(client, (Rect{0, 0, 200, 100}));

  int32_t left, top, right, bottom;
  ASSERT_TRUE(FrameInsets(window, &left, &top, &right, &bottom));
  EXPECT_EQ(left, -frame.left);
  EXPECT_EQ(top, -frame.top);
  EXPECT_EQ(right, frame.right - 200);
  EXPECT_EQ(bottom, frame.bottom - 100);
  EXPECT_EQ(top, GetSystemMetrics(SM_CYCAPTION) + left);
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, CenterWindowOnTheScreenAndOverAnother) {
  Rect screen;
  ASSERT_TRUE(ScreenRect(&screen));
  ASSERT_EQ(screen, (Rect{0, 0, TestDesktopWidth, TestDesktopHeight}));

  HWND window = NewDialog();
  ASSERT_TRUE(SetWindowBounds(window, Rect{0, 0, 300, 200}));
  ASSERT_TRUE(CenterWindow(window, nullptr));
  EXPECT_EQ(FrameOf(window), (Rect{650, 500, 950, 700}));

  HWND over = NewDialog();
  ASSERT_TRUE(SetWindowBounds(over, Rect{100, 100, 401, 300}));
  ASSERT_TRUE(SetWindowBounds(window, Rect{0, 0, 100, 51}));
  ASSERT_TRUE(CenterWindow(window, over));
  EXPECT_EQ(FrameOf(window), (Rect{200, 175, 300, 226}));
  DestroyWindow(over);
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, MoveAndSizeKeepTheOtherHalf) {
  HWND window = NewDialog(DialogKindSystemMenu, 5, 5, 250, 249);
  Rect before = FrameOf(window);
  ASSERT_TRUE(MoveWindowTo(window, Point{40, 60}));
  Rect moved = FrameOf(window);
  EXPECT_EQ(moved, (Rect{40, 60, 40 + RectWidth(before), 60 + RectHeight(before)}));
  ASSERT_TRUE(SetClientSize(window, 1000, 200));
  EXPECT_EQ(ClientOf(window), (Rect{0, 0, 1000, 200}));
  EXPECT_EQ(FrameOf(window).left, 40);
  EXPECT_EQ(FrameOf(window).top, 60);
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, PointsAndRectsConvertBothWays) {
  HWND window = NewDialog(DialogKindCaptioned, 100, 50, 200, 100);
  int32_t left, top, right, bottom;
  ASSERT_TRUE(FrameInsets(window, &left, &top, &right, &bottom));
  Point point{5, 7};
  ASSERT_TRUE(ClientToScreenPoint(window, &point));
  EXPECT_EQ(point.x, 100 + left + 5);
  EXPECT_EQ(point.y, 50 + top + 7);
  ASSERT_TRUE(ScreenToClientPoint(window, &point));
  EXPECT_EQ(point.x, 5);
  EXPECT_EQ(point.y, 7);
  // Corners given the wrong way round come back normalised.
  Rect rect{10, 20, 0, 0};
  ASSERT_TRUE(ClientToScreenRect(window, &rect));
  EXPECT_EQ(rect, (Rect{100 + left, 50 + top, 110 + left, 70 + top}));
  ASSERT_TRUE(ScreenToClientRect(window, &rect));
  EXPECT_EQ(rect, (Rect{0, 0, 10, 20}));
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, GeometryRefusesMissingWindowOrPointer) {
  HWND window = NewDialog();
  Point point{1, 2};
  Rect rect{1, 2, 3, 4};
  int32_t value = 0;
  const struct {
    const char* name;
    bool result;
  } cases[] = {
      {"ClientToScreenPoint window", ClientToScreenPoint(nullptr, &point)},
      {"ClientToScreenPoint point", ClientToScreenPoint(window, nullptr)},
      {"ScreenToClientPoint window", ScreenToClientPoint(nullptr, &point)},
      {"ScreenToClientPoint point", ScreenToClientPoint(window, nullptr)},
      {"ClientToScreenRect window", ClientToScreenRect(nullptr, &rect)},
      {"ClientToScreenRect rect", ClientToScreenRect(window, nullptr)},
      {"ScreenToClientRect window", ScreenToClientRect(nullptr, &rect)},
      {"ScreenToClientRect rect", ScreenToClientRect(window, nullptr)},
      {"GetWindowBounds window", GetWindowBounds(nullptr, true, &rect)},
      {"GetWindowBounds rect", GetWindowBounds(window, false, nullptr)},
      {"SetWindowBounds", SetWindowBounds(nullptr, rect)},
      {"MoveWindowTo", MoveWindowTo(nullptr, point)},
      {"SetClientSize", SetClientSize(nullptr, 10, 10)},
      {"CenterWindow", CenterWindow(nullptr, nullptr)},
      {"ScreenRect", ScreenRect(nullptr)},
      {"FrameInsets window", FrameInsets(nullptr, &value, &value, &value, &value)},
      {"FrameInsets left", FrameInsets(window, nullptr, &value, &value, &value)},
      {"FrameInsets top", FrameInsets(window, &value, nullptr, &value, &value)},
      {"FrameInsets right", FrameInsets(window, &value, &value, nullptr, &value)},
      {"FrameInsets bottom", FrameInsets(window, &value, &value, &value, nullptr)},
      {"InvalidateWindow", InvalidateWindow(nullptr)},
      {"ShowToolkitWindow", ShowToolkitWindow(nullptr)},
      {"EnableToolkitWindow", EnableToolkitWindow(nullptr)},
      {"DisableToolkitWindow", DisableToolkitWindow(nullptr)},
      {"IsToolkitWindowEnabled", IsToolkitWindowEnabled(nullptr)},
      {"GetWindowTextInto", GetWindowTextInto(window, nullptr, 10)},
      {"SetWindowTextFrom window", SetWindowTextFrom(nullptr, "x")},
      {"SetWindowTextFrom text", SetWindowTextFrom(window, nullptr)},
  };
  for (const auto& c : cases) EXPECT_FALSE(c.result) << c.name;
  EXPECT_EQ(point.x, 1);
  EXPECT_EQ(rect, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(value, 0);
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, GetWindowTextIntoKeepsToItsCapacity) {
  HWND window = NewDialog();
  const struct {
    const char* text;
    uint32_t capacity;
    const char* expected;
    bool result;
  } cases[] = {
      {"abcdefgh", 5, "abcde", true},
      {"abcdefgh", 8, "abcdefgh", true},
      {"abcdefgh", 100, "abcdefgh", true},
      {"abcdefgh", 0, "", false},
      {"", 10, "", false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetWindowTextFrom(window, c.text));
    char buffer[128];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetWindowTextInto(window, buffer, c.capacity), c.result) << c.text << " " << c.capacity;
    EXPECT_STREQ(buffer, c.expected) << c.text << " " << c.capacity;
    EXPECT_EQ(buffer[strlen(c.expected) + 1], '#') << "wrote past the terminator";
  }
  DestroyWindow(window);
}

TEST_F(DialogWindowWin32Test, ShowEnableAndDisable) {
  HWND window = NewDialog();
  EXPECT_TRUE(ShowToolkitWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  UpdateToolkitWindow(window);
  EXPECT_TRUE(IsToolkitWindowEnabled(window));
  EXPECT_TRUE(DisableToolkitWindow(window));
  EXPECT_FALSE(IsToolkitWindowEnabled(window));
  EXPECT_TRUE(EnableToolkitWindow(window));
  EXPECT_TRUE(IsToolkitWindowEnabled(window));
  EXPECT_TRUE(InvalidateWindow(window));
  RECT update;
  EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
  DestroyWindow(window);
}

}  // namespace
