// What a run without standard output shows instead of printing it: the usage
// text in a window of its own, sized to the text, and a refusal in a box.
#include "shell/unseen_output_win32.h"

#include <windows.h>

#include <algorithm>

#include "foundation/core/code_page.h"
#include "toolkit/controls_win32.h"
#include "toolkit/dialog_procedure_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/grow_array.h"
#include "toolkit/message_boxes_win32.h"
#include "toolkit/window_manager_win32.h"

namespace {

// The caption of the refusal box.
constexpr char BoxCaption[] = "Corvalent Control Panel";

// The usage window's layout in 96-DPI pixels: the text, and below it "OK" at
// the right, as a message box has it.
constexpr int32_t Margin = 10;
constexpr int32_t ButtonWidth = 88;
constexpr int32_t ButtonHeight = 26;
// Room around the text inside the view: its border and the edit control's
// own margins.
constexpr int32_t ViewPaddingWidth = 16;
constexpr int32_t ViewPaddingHeight = 8;
// What the window leaves of the screen when the text is larger than it.
constexpr int32_t ScreenAllowance = 80;

// The text without its last line end: the box ends where the text does.
std::string WithoutFinalLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Lines counted and the longest measured in characters; line ends become
// "\r\n", as an edit control takes them.
struct TextLines {
  std::string text;
  int32_t count = 1;
  int32_t longest = 0;
};

TextLines LinesOf(const std::string& text) {
  TextLines lines;
  int32_t length = 0;
  for (char c : text) {
    if (c == '\n') {
      lines.text += "\r\n";
      ++lines.count;
      length = 0;
      continue;
    }
    lines.text += c;
    lines.longest = std::max(lines.longest, ++length);
  }
  return lines;
}

uint8_t UsageWindowHandler(HWND window, EventKind kind, EventRecord* record) {
  WindowManager* manager = CurrentWindowManager();
  auto* controls = static_cast<GrowArray*>(WindowUserData(manager, window));
  switch (kind) {
    case EventOpened:
      ShowToolkitWindow(window);
      UpdateToolkitWindow(window);
      return AnswerNotHandled;
    case EventDpiChanged:
      if (controls) FollowDpiChange(window, *controls, record->event.x, record->event.area);
      return AnswerHandled;
    case EventCommand:
      // OK, Enter and Escape close it.
      if (record->event.commandId == IDOK || record->event.commandId == IDCANCEL) {
        UnregisterWindow(manager, window);
        return AnswerHandled;
      }
      return AnswerNotHandled;
    case EventClosing:
      if (controls) DestroyControls(*controls);
      CloseToolkitWindow(manager, window);
      return AnswerNotHandled;
    default:
      return AnswerNotHandled;
  }
}

}  // namespace

bool HasStandardOutput() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!output || output == INVALID_HANDLE_VALUE) return false;
  // A handle value that names nothing open (one meant for another process's
  // console) gives no type and an error.
  SetLastError(NO_ERROR);
  return GetFileType(output) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

void ShowUsageWindow(const std::string& usage) {
  const TextLines lines = LinesOf(WithoutFinalLineEnd(usage));
  int32_t cellWidth = 0;
  int32_t cellHeight = 0;
  if (!FixedFontCell(&cellWidth, &cellHeight) || !OpenWindowManager()) return;
  WindowManager* manager = CurrentWindowManager();
  HWND window = CreateToolkitDialog(nullptr, 0, 0, 100, 100, DialogKindSystemMenu);
  GrowArray controls;
  if (!window || !InitGrowArray(controls, ControlListElementSize, 0, 0, 0, true)) {
    if (window) CloseToolkitWindow(manager, window);
    CloseWindowManager();
    return;
  }
  // The whole text when the screen holds it; else as much as it holds, with
  // scroll bars.
  const uint32_t dpi = WindowDpi(window);
  Rect screen = {};
  ScreenRect(&screen);
  const int32_t roomWidth = ScaledPixels(RectWidth(screen), LayoutDpi, dpi) - ScreenAllowance;
  const int32_t roomHeight =
      ScaledPixels(RectHeight(screen), LayoutDpi, dpi) - ScreenAllowance - ButtonHeight - 3 * Margin;
  const int32_t textWidth = lines.longest * cellWidth + ViewPaddingWidth;
  const int32_t textHeight = lines.count * cellHeight + ViewPaddingHeight;
  const bool scrolls = textWidth > roomWidth || textHeight > roomHeight;
  const int32_t scrollBar = scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int32_t viewWidth = std::min(textWidth + scrollBar, roomWidth);
  const int32_t viewHeight = std::min(textHeight + scrollBar, roomHeight);
  const Rect viewRect{Margin, Margin, Margin + viewWidth, Margin + viewHeight};
  const Rect okRect{viewRect.right - ButtonWidth, viewRect.bottom + Margin, viewRect.right,
                    viewRect.bottom + Margin + ButtonHeight};
  AppendControl(controls, new TextView(window, UsageTextControlId, viewRect, lines.text.c_str(), scrolls));
  auto* ok = new PushButton(window, IDOK, okRect, "OK", DefaultPushButtonStyle);
  AppendControl(controls, ok);
  SetLayoutClientSize(window, okRect.right + Margin, okRect.bottom + Margin);
  CenterWindow(window, nullptr);
  SetWindowTextFrom(window, UsageWindowTitle);
  SetDefaultButton(window, IDOK);
  if (RegisterWindow(manager, window, nullptr, UsageWindowHandler, &controls, -1, false, false)) {
    FocusControl(window, ok);
    RunUntilClosed(manager, window);
  } else {
    DestroyControls(controls);
    CloseToolkitWindow(manager, window);
  }
  ReleaseGrowArray(controls);
  CloseWindowManager();
}

void ShowRefusalBox(const std::string& refusalLine) {
  // The line quotes the tokens as typed, in UTF-8; a box shows ANSI text.
  ShowError(nullptr, BoxCaption, DisplayAnsiOfUtf8(WithoutFinalLineEnd(refusalLine).c_str()).c_str());
}
