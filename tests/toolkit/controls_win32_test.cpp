#include "toolkit/controls_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/rect_compare.h"
#include "support/toolkit_windows_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/memory.h"

namespace {

class ControlsWin32Test : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    dialog = NewDialog();
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    DestroyWindow(dialog);
    ToolkitWindowTest::TearDown();
  }

  int ChildCount() const {
    int count = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      ++count;
    return count;
  }

  HWND dialog = nullptr;
};

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

constexpr Rect Place{2, 5, 248, 45};

TEST_F(ControlsWin32Test, EachKindCreatesItsWindow) {
  PushButton button(dialog, 7, Place, "Push", 0);
  CheckBox checkBox(dialog, 11, Place, "Check", 0);
  EditField edit(dialog, 12, Place, "Edit text", 0);
  StaticText text(dialog, 13, Place, "Static text", 0);
  ListBox extended(dialog, 14, Place, 1, 0);
  ListBox single(dialog, 15, Place, 0, 0);
  PushButton confirm(dialog, IDOK, Place, "OK", DefaultPushButtonStyle);
  // Bits a control manages itself after creation: edit fields and list
  // boxes take the border into their own drawing or a client edge, and list
  // boxes show their scroll bars only when the items need them.
  constexpr uint32_t Border = WS_BORDER;
  constexpr uint32_t ListBoxOwn = WS_BORDER | WS_VSCROLL | WS_HSCROLL;
  constexpr uint32_t Child = WS_CHILD | WS_VISIBLE;
  constexpr uint32_t ListBoxFrame = WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
  constexpr uint32_t ListBoxBits = LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
  const struct {
    const char* name;
    const Control& control;
    const char* className;
    uint32_t style;
    uint32_t ownBits;
    int32_t id;
    const char* text;
  } cases[] = {
      // Every control is a visible child; all but the check box and the static
      // text have a border; all but the static text are tab stops.
      {"push button", button, "Button", Child | WS_BORDER | WS_TABSTOP | BS_PUSHBUTTON, 0, 7, "Push"},
      {"check box", checkBox, "Button", Child | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 11, "Check"},
      {"edit field", edit, "Edit", Child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, Border, 12, "Edit text"},
      {"static text", text, "Static", Child | SS_NOTIFY, 0, 13, "Static text"},
      {"extended list box", extended, "ListBox", Child | ListBoxFrame | LBS_EXTENDEDSEL | ListBoxBits, ListBoxOwn,
       14, ""},
      {"single list box", single, "ListBox", Child | ListBoxFrame | ListBoxBits, ListBoxOwn, 15, ""},
      {"confirming button", confirm, "Button", Child | WS_BORDER | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, "OK"},
  };
  for (const auto& c : cases) {
    HWND window = c.control.ControlWindow();
    ASSERT_NE(window, nullptr) << c.name;
    EXPECT_EQ(GetParent(window), dialog) << c.name;
    EXPECT_STRCASEEQ(ClassOf(window).c_str(), c.className) << c.name;
    uint32_t style = static_cast<uint32_t>(GetWindowLongA(window, GWL_STYLE));
    uint32_t extendedStyle = static_cast<uint32_t>(GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(style & ~c.ownBits, c.style & ~c.ownBits) << c.name;
    EXPECT_EQ(extendedStyle & ~WS_EX_NOPARENTNOTIFY & ~WS_EX_CLIENTEDGE, 0u) << c.name;
    EXPECT_EQ(c.control.Id(), c.id) << c.name;
    EXPECT_EQ(GetDlgCtrlID(window), c.id) << c.name;
    EXPECT_EQ(TextOf(window), c.text) << c.name;
  }
  RECT r;
  GetWindowRect(button.ControlWindow(), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.top, 5);
  EXPECT_EQ(r.right, 248);
  EXPECT_EQ(r.bottom, 45);
}

TEST_F(ControlsWin32Test, MissingParentOrCaptionCreatesNoWindow) {
  PushButton noCaption(dialog, 1, Place, nullptr, 0);
  CheckBox checkNoCaption(dialog, 2, Place, nullptr, 0);
  PushButton noParent(nullptr, 3, Place, "x", 0);
  CheckBox checkNoParent(nullptr, 4, Place, "x", 0);
  EditField editNoParent(nullptr, 5, Place, "x", 0);
  StaticText textNoParent(nullptr, 6, Place, "x", 0);
  ListBox listNoParent(nullptr, 7, Place, 1, 0);
  const Control* cases[] = {&noCaption,    &checkNoCaption, &noParent,    &checkNoParent,
                            &editNoParent, &textNoParent,   &listNoParent};
  for (const Control* control : cases) {
    EXPECT_EQ(control->ControlWindow(), nullptr);
    EXPECT_FALSE(control->IsValid());
  }
  EXPECT_EQ(ChildCount(), 0);
}

TEST_F(ControlsWin32Test, TextMayBeMissingForEditAndStatic) {
  EditField edit(dialog, 1, Place, nullptr, 0);
  StaticText text(dialog, 2, Place, nullptr, 0);
  ASSERT_NE(edit.ControlWindow(), nullptr);
  ASSERT_NE(text.ControlWindow(), nullptr);
  EXPECT_EQ(TextOf(edit.ControlWindow()), "");
  EXPECT_EQ(TextOf(text.ControlWindow()), "");
}

TEST_F(ControlsWin32Test, IdZeroCountsAsSet) {
  PushButton button(dialog, 0, Place, "Zero", 0);
  ASSERT_NE(button.ControlWindow(), nullptr);
  EXPECT_EQ(button.Id(), 0);
  EXPECT_TRUE(button.SetId(0));
  EXPECT_TRUE(button.SetId(42));
  EXPECT_EQ(button.Id(), 42);
}

TEST_F(ControlsWin32Test, InvalidControlAnswersNothing) {
  PushButton control(dialog, 1, Place, nullptr, 0);
  ListBox list(nullptr, 2, Place, 1, 0);
  char buffer[16] = "unchanged";
  int32_t value = 77;
  const struct {
    const char* name;
    bool result;
  } cases[] = {
      {"GetText", control.GetText(buffer, 15)},
      {"SetText", control.SetText("x")},
      {"IsEnabled", control.IsEnabled()},
      {"Enable", control.Enable()},
      {"Disable", control.Disable()},
      {"IsChecked", control.IsChecked()},
      {"Check", control.Check()},
      {"Uncheck", control.Uncheck()},
      {"SetId", control.SetId(5)},
      {"ClearSelection", list.ClearSelection()},
      {"Count", list.Count(&value)},
      {"SelectedCount", list.SelectedCount(&value)},
      {"ItemTextLength", list.ItemTextLength(0, &value)},
      {"ItemText", list.ItemText(0, buffer, 15)},
      {"CurrentSelection", list.CurrentSelection(&value)},
      {"Select", list.Select(0)},
      {"IsSelected", list.IsSelected(0)},
      {"DeleteItem", list.DeleteItem(0)},
      {"InsertItem", list.InsertItem(0, "x")},
      {"AddItem", list.AddItem("x")},
      {"SetHorizontalExtentChars", list.SetHorizontalExtentChars(260)},
  };
  for (const auto& c : cases) EXPECT_FALSE(c.result) << c.name;
  EXPECT_EQ(control.Id(), 0);
  EXPECT_EQ(control.ControlWindow(), nullptr);
  EXPECT_STREQ(buffer, "unchanged");
  EXPECT_EQ(value, 77);
}

TEST_F(ControlsWin32Test, TextEnableAndCheckState) {
  CheckBox box(dialog, 11, Place, "Check for Updates", 0);
  char text[64];
  ASSERT_TRUE(box.GetText(text, sizeof text - 1));
  EXPECT_STREQ(text, "Check for Updates");
  ASSERT_TRUE(box.GetText(text, 5));
  EXPECT_STREQ(text, "Check");
  EXPECT_FALSE(box.GetText(nullptr, 5));
  EXPECT_TRUE(box.SetText(nullptr));
  EXPECT_FALSE(box.GetText(text, sizeof text - 1));
  EXPECT_STREQ(text, "");
  EXPECT_TRUE(box.SetText("Participate"));
  EXPECT_EQ(TextOf(box.ControlWindow()), "Participate");

  EXPECT_TRUE(box.IsEnabled());
  EXPECT_TRUE(box.Disable());
  EXPECT_FALSE(box.IsEnabled());
  EXPECT_TRUE(box.Enable());
  EXPECT_TRUE(box.IsEnabled());

  EXPECT_FALSE(box.IsChecked());
  EXPECT_TRUE(box.Check());
  EXPECT_TRUE(box.IsChecked());
  EXPECT_EQ(IsDlgButtonChecked(dialog, 11), BST_CHECKED);
  EXPECT_TRUE(box.Uncheck());
  EXPECT_FALSE(box.IsChecked());
}

TEST_F(ControlsWin32Test, CheckBoxTogglesItselfWhenClicked) {
  CheckBox box(dialog, 13, Place, "Participate QLX Public Beta", 0);
  ASSERT_NE(box.ControlWindow(), nullptr);
  for (bool expected : {true, false, true}) {
    SendMessageA(box.ControlWindow(), BM_CLICK, 0, 0);
    EXPECT_EQ(box.IsChecked(), expected);
  }
}

TEST_F(ControlsWin32Test, ObjectsComeFromTheToolkitHeapAndLeaveTheirWindows) {
  Control* button = new PushButton(dialog, 4, Place, "Ok", 0);
  ASSERT_NE(button, nullptr);
  EXPECT_GE(ToolkitBlockSize(button), sizeof(PushButton));
  HWND window = button->ControlWindow();
  ASSERT_NE(window, nullptr);
  delete button;
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetParent(window), dialog);
}

TEST_F(ControlsWin32Test, ControlListHoldsPointersAndDestroysTheObjects) {
  GrowArray list;
  ASSERT_TRUE(InitGrowArray(list, ControlListElementSize, 0, 0, 0, true));
  EXPECT_EQ(list.elementSize, static_cast<int32_t>(sizeof(Control*)));  // a whole pointer in either build
  Control* first = new CheckBox(dialog, 11, Place, "Check for Updates", 0);
  Control* last = new PushButton(dialog, 4, Place, "Ok", 0);
  HWND firstWindow = first->ControlWindow();
  ASSERT_TRUE(AppendControl(list, first));
  ASSERT_TRUE(AppendControl(list, nullptr));  // a control whose memory was missing
  ASSERT_TRUE(AppendControl(list, last));
  EXPECT_EQ(list.count, 3u);
  EXPECT_EQ(list.capacity, 4u);
  EXPECT_EQ(ControlAt(list, 0), first);
  EXPECT_EQ(ControlAt(list, 1), nullptr);
  EXPECT_EQ(ControlAt(list, 2), last);
  EXPECT_EQ(ControlAt(list, 3), nullptr);
  DestroyControls(list);
  EXPECT_EQ(list.count, 3u);
  for (uint32_t i = 0; i < list.count; ++i) EXPECT_EQ(ControlAt(list, i), nullptr);
  EXPECT_TRUE(IsWindow(firstWindow));
  ReleaseGrowArray(list);

  // Elements of another size than a pointer are no control list.
  GrowArray wrongSize;
  ASSERT_TRUE(InitGrowArray(wrongSize, static_cast<int32_t>(sizeof(Control*)) + 4, 0, 0, 0, true));
  EXPECT_FALSE(AppendControl(wrongSize, nullptr));
  ReleaseGrowArray(wrongSize);
}

Rect PlacedRect(HWND dialog, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

LONG FontHeight(HWND control) {
  LOGFONTA font = {};
  HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
  return handle && GetObjectA(handle, sizeof font, &font) == sizeof font ? font.lfHeight : 0;
}

TEST_F(ControlsWin32Test, ControlsFollowTheirDialogToAScreenOfAnotherDpi) {
  // This test program declares no DPI awareness: its windows are at 96 DPI,
  // the system's.
  ASSERT_EQ(WindowDpi(dialog), 96u);
  GrowArray list;
  ASSERT_TRUE(InitGrowArray(list, ControlListElementSize, 0, 0, 0, true));
  constexpr Rect Lower{8, 200, 248, 216};
  ASSERT_TRUE(AppendControl(list, new PushButton(dialog, 4, Place, "Ok", 0)));
  ASSERT_TRUE(AppendControl(list, new CheckBox(dialog, 13, Lower, "Participate", 0)));
  ASSERT_TRUE(AppendControl(list, new ListBox(dialog, 600, Rect{0, 25, 600, 200}, 1, 0)));
  static_cast<ListBox*>(ControlAt(list, 2))->SetHorizontalExtentChars(10);
  const LRESULT extentAt96 = SendMessageA(ControlAt(list, 2)->ControlWindow(), LB_GETHORIZONTALEXTENT, 0, 0);
  for (uint32_t i = 0; i < list.count; ++i)
    EXPECT_EQ(SendMessageA(ControlAt(list, i)->ControlWindow(), WM_GETFONT, 0, 0), 0) << "the system font at 96 DPI";
  EXPECT_EQ(PlacedRect(dialog, ControlAt(list, 0)->ControlWindow()), Place);

  LOGFONTA system;
  ASSERT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system), static_cast<int>(sizeof system));
  const struct {
    uint32_t dpi;
    Rect frame;
  } moves[] = {{144, Rect{100, 80, 500, 480}}, {192, Rect{0, 0, 600, 600}}, {96, Rect{10, 20, 300, 320}}};
  for (const auto& move : moves) {
    ASSERT_TRUE(FollowDpiChange(dialog, list, move.dpi, move.frame)) << move.dpi;
    RECT frame;
    GetWindowRect(dialog, &frame);
    EXPECT_EQ((Rect{frame.left, frame.top, frame.right, frame.bottom}), move.frame) << move.dpi;
    EXPECT_EQ(PlacedRect(dialog, ControlAt(list, 0)->ControlWindow()), ScaledRect(Place, move.dpi)) << move.dpi;
    EXPECT_EQ(PlacedRect(dialog, ControlAt(list, 1)->ControlWindow()), ScaledRect(Lower, move.dpi)) << move.dpi;
    const LONG expectedHeight = move.dpi == 96 ? 0 : ScaledPixels(system.lfHeight, move.dpi);
    for (uint32_t i = 0; i < list.count; ++i)
      EXPECT_EQ(FontHeight(ControlAt(list, i)->ControlWindow()), expectedHeight) << move.dpi;
    // The sideways extent is measured again in the new font.
    const LRESULT extent = SendMessageA(ControlAt(list, 2)->ControlWindow(), LB_GETHORIZONTALEXTENT, 0, 0);
    if (move.dpi == 96) EXPECT_EQ(extent, extentAt96);
    if (move.dpi != 96) EXPECT_GT(extent, extentAt96) << move.dpi;
  }
  EXPECT_EQ(ControlFontForDpi(144), ControlFontForDpi(144)) << "one font per DPI";
  EXPECT_EQ(ControlFontForDpi(96), nullptr);
  EXPECT_FALSE(FollowDpiChange(nullptr, list, 144, Place));
  DestroyControls(list);
  ReleaseGrowArray(list);
}

TEST_F(ControlsWin32Test, FocusControlFocusesWithTheCueHiddenAndSetDefaultButtonNamesEnter) {
  PushButton first(dialog, 7, Place, "First", 0);
  PushButton ok(dialog, 4, Rect{2, 224, 248, 249}, "Ok", DefaultPushButtonStyle);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  EXPECT_TRUE(SetDefaultButton(dialog, 4));
  EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(4, DC_HASDEFID));
  EXPECT_TRUE(FocusControl(dialog, &ok));
  EXPECT_EQ(GetFocus(), ok.ControlWindow());
  // The cue stays hidden, unless the system is set to show it always (as
  // Wine is, which keeps no such state).
  BOOL alwaysShown = FALSE;
  SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
  EXPECT_EQ((SendMessageA(dialog, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0, !alwaysShown);
  // The focus on a control that is then disabled goes to the fallback, and
  // only then.
  EXPECT_TRUE(FocusControl(dialog, &first));
  EXPECT_FALSE(RecoverFocus(dialog, &ok)) << "an enabled control keeps it";
  EXPECT_EQ(GetFocus(), first.ControlWindow());
  first.Disable();
  SetFocus(first.ControlWindow());  // as the dialog manager gives it back after a box
  EXPECT_TRUE(RecoverFocus(dialog, &ok));
  EXPECT_EQ(GetFocus(), ok.ControlWindow());
  SetFocus(nullptr);
  EXPECT_TRUE(RecoverFocus(dialog, &ok));
  EXPECT_EQ(GetFocus(), ok.ControlWindow());
  EXPECT_FALSE(RecoverFocus(dialog, &first)) << "never to a disabled fallback";
  EXPECT_FALSE(FocusControl(dialog, nullptr));
  EXPECT_FALSE(FocusControl(nullptr, &first));
  EXPECT_FALSE(SetDefaultButton(nullptr, 4));
}

class ListBoxWin32Test : public ControlsWin32Test {};

TEST_F(ListBoxWin32Test, ItemsAreAddedInsertedAndDeleted) {
  ListBox list(dialog, 600, Rect{0, 25, 600, 200}, 1, 0);
  ASSERT_NE(list.ControlWindow(), nullptr);
  int32_t count = -1;
  ASSERT_TRUE(list.Count(&count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(list.AddItem("first"));
  EXPECT_TRUE(list.AddItem("third"));
  EXPECT_TRUE(list.InsertItem(1, "second"));
  EXPECT_FALSE(list.AddItem(nullptr));
  EXPECT_FALSE(list.InsertItem(0, nullptr));
  ASSERT_TRUE(list.Count(&count));
  EXPECT_EQ(count, 3);
  const char* expected[] = {"first", "second", "third"};
  for (int32_t i = 0; i < 3; ++i) {
    char text[32];
    ASSERT_TRUE(list.ItemText(i, text, sizeof text - 1));
    EXPECT_STREQ(text, expected[i]);
    int32_t length = 0;
    ASSERT_TRUE(list.ItemTextLength(i, &length));
    EXPECT_EQ(length, static_cast<int32_t>(strlen(expected[i])));
  }
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_FALSE(list.DeleteItem(5));
  int32_t length = 9;
  EXPECT_FALSE(list.ItemTextLength(2, &length));
  EXPECT_EQ(length, 9);
  ASSERT_TRUE(list.Count(&count));
  EXPECT_EQ(count, 2);
}

TEST_F(ListBoxWin32Test, ItemTextKeepsToItsCapacity) {
  ListBox list(dialog, 600, Place, 1, 0);
  ASSERT_TRUE(list.AddItem("twelve chars"));
  const struct {
    uint32_t capacity;
    bool result;
    const char* expected;
  } cases[] = {
      {11, false, "############"},
      {12, true, "twelve chars"},
      {20, true, "twelve chars"},
  };
  for (const auto& c : cases) {
    char buffer[32];
    memset(buffer, '#', sizeof buffer);
    buffer[12] = '\0';
    buffer[13] = '#';
    EXPECT_EQ(list.ItemText(0, buffer, c.capacity), c.result) << c.capacity;
    EXPECT_STREQ(buffer, c.expected) << c.capacity;
    EXPECT_EQ(buffer[13], '#') << "more than 13 bytes written";
  }
  char buffer[32];
  EXPECT_FALSE(list.ItemText(0, nullptr, 20));
  EXPECT_FALSE(list.ItemText(3, buffer, 20));
}

TEST_F(ListBoxWin32Test, SelectionOfAnExtendedSelectionBox) {
  ListBox list(dialog, 600, Place, 1, 0);
  for (const char* item : {"a", "b", "c", "d", "e"}) ASSERT_TRUE(list.AddItem(item));
  int32_t count = -1;
  ASSERT_TRUE(list.SelectedCount(&count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(list.Select(1));
  EXPECT_TRUE(list.Select(3));
  EXPECT_FALSE(list.Select(-1));
  EXPECT_FALSE(list.Select(9));
  ASSERT_TRUE(list.SelectedCount(&count));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(list.IsSelected(1));
  EXPECT_FALSE(list.IsSelected(2));
  EXPECT_TRUE(list.IsSelected(3));
  EXPECT_FALSE(list.IsSelected(9));
  EXPECT_TRUE(list.ClearSelection());
  ASSERT_TRUE(list.SelectedCount(&count));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(list.IsSelected(3));
}

TEST_F(ListBoxWin32Test, SelectedCountOfASingleSelectionBoxIsCounted) {
  ListBox list(dialog, 600, Place, 0, 0);
  for (const char* item : {"a", "b", "c", "d", "e"}) ASSERT_TRUE(list.AddItem(item));
  HWND box = list.ControlWindow();
  // Such a box cannot tell its selected count itself.
  ASSERT_EQ(SendMessageA(box, LB_GETSELCOUNT, 0, 0), LB_ERR);
  int32_t count = -1;
  ASSERT_TRUE(list.SelectedCount(&count));
  EXPECT_EQ(count, 0);
  int32_t index = 99;
  EXPECT_FALSE(list.CurrentSelection(&index));
  EXPECT_EQ(index, LB_ERR);

  SendMessageA(box, LB_SETCURSEL, 3, 0);
  ASSERT_TRUE(list.SelectedCount(&count));
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(list.CurrentSelection(&index));
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(list.IsSelected(3));
  EXPECT_TRUE(list.ClearSelection());
  ASSERT_TRUE(list.SelectedCount(&count));
  EXPECT_EQ(count, 0);
}

TEST_F(ListBoxWin32Test, HorizontalExtentIsCharactersTimesTheWidthOfX) {
  ListBox list(dialog, 600, Place, 1, 0);
  HWND box = list.ControlWindow();
  HDC deviceContext = GetDC(box);
  SIZE x;
  GetTextExtentPoint32A(deviceContext, "X", 1, &x);
  ReleaseDC(box, deviceContext);
  ASSERT_GT(x.cx, 0);
  EXPECT_TRUE(list.SetHorizontalExtentChars(260));
  EXPECT_EQ(SendMessageA(box, LB_GETHORIZONTALEXTENT, 0, 0), 260 * x.cx);
}

}  // namespace
