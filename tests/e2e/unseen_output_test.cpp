// ControlPanel.exe started as a shortcut or the Run box starts it: with no
// standard input, output or error at all. What it would print for a person
// comes in a window (the usage text) or a box (a refusal), unless the run is
// quiet; a person reads it and closes it as any other.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "shell/command_line.h"
#include "shell/unseen_output_win32.h"
#include "support/control_panel_copy_win32.h"
#include "support/panel_window_win32.h"
#include "support/process_win32.h"
#include "support/toolkit_windows_win32.h"

namespace {

constexpr char BoxCaption[] = "Corvalent Control Panel";

std::string WithoutFinalLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Whether rect lies wholly inside area.
bool Inside(const RECT& rect, const RECT& area) {
  return rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom;
}

// A control's text asked of it (GetWindowText does not ask a control of
// another program).
std::string TextOf(HWND control) {
  std::string text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(
      SendMessageA(control, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}

// The usage text as the window's text control holds it: "\r\n" between lines.
std::string UsageAsShown() {
  std::string shown;
  for (char c : WithoutFinalLineEnd(UsageText())) shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return shown;
}

// Where the character at index of an edit control is drawn, in its client
// pixels (EM_POSFROMCHAR, which a control of another program answers too).
POINT CharacterAt(HWND edit, LRESULT index) {
  const LRESULT at = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
  return POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
}

class UnseenOutputTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(copy.Ready()); }

  // Starts the program with arguments and no standard handles.
  void Start(const std::string& arguments) {
    session.reset(new PanelWindowSession(copy.Program(), arguments, std::string(), true));
    ASSERT_TRUE(session->Started()) << arguments;
  }
  // Reads the next box, expects caption, text and an OK button, presses OK
  // and expects the program to end with exitCode.
  void ExpectBoxThenExit(const std::string& arguments, const std::string& text, int32_t exitCode) {
    PanelWindowSession::Box box = session->WaitForBox();
    ASSERT_NE(box.window, nullptr) << arguments << ": no box";
    EXPECT_EQ(box.seen.caption, BoxCaption) << arguments;
    EXPECT_EQ(box.seen.text, text) << arguments;
    EXPECT_EQ(box.seen.buttons, "ok") << arguments;
    EXPECT_EQ(box.seen.owner, 0u) << arguments;
    EXPECT_TRUE(AnswerBox(box.window, IDOK)) << arguments;
    ExpectExit(arguments, exitCode);
  }
  void ExpectExit(const std::string& arguments, int32_t exitCode) {
    int32_t code = 12345;
    ASSERT_TRUE(session->WaitForExit(&code)) << arguments << ": still running";
    EXPECT_EQ(code, exitCode) << arguments;
  }

  Watchdog watchdog{180000};
  ControlPanelCopy copy;
  std::unique_ptr<PanelWindowSession> session;
};

// Every way of asking for help shows the usage text whole in its window,
// which OK, Enter, Escape and the close box close, ending with 0.
TEST_F(UnseenOutputTest, HelpShowsTheUsageTextInAWindow) {
  const struct {
    const char* arguments;
    const char* closedBy;
  } cases[] = {{"/?", "OK"},        {"/help", "Enter"}, {"/HELP", "Escape"}, {"-h", "close"},
               {"--help", "OK"},    {"-?", "Enter"},    {"/? -u", "Escape"}};
  for (const auto& help : cases) {
    Start(help.arguments);
    HWND window = session->WaitForWindow(UsageWindowTitle);
    ASSERT_NE(window, nullptr) << help.arguments << ": no usage window";
    HWND text = GetDlgItem(window, UsageTextControlId);
    ASSERT_NE(text, nullptr) << help.arguments;
    EXPECT_EQ(TextOf(text), UsageAsShown()) << help.arguments;
    EXPECT_FALSE(session->AnyBoxOpen()) << help.arguments;
    const std::string closedBy = help.closedBy;
    if (closedBy == "OK") EXPECT_TRUE(ClickControl(window, IDOK)) << help.arguments;
    if (closedBy == "Enter") EXPECT_TRUE(PressKey(window, VK_RETURN)) << help.arguments;
    if (closedBy == "Escape") EXPECT_TRUE(PressKey(window, VK_ESCAPE)) << help.arguments;
    if (closedBy == "close") EXPECT_TRUE(RequestClose(window)) << help.arguments;
    ExpectExit(help.arguments, 0);
  }
}

// The window fits the text: every line whole, nothing to scroll, on the
// screen.
TEST_F(UnseenOutputTest, TheUsageWindowFitsItsText) {
  Start("/?");
  HWND window = session->WaitForWindow(UsageWindowTitle);
  ASSERT_NE(window, nullptr);
  RECT frame = {};
  GetWindowRect(window, &frame);
  MONITORINFO screen = {};
  screen.cbSize = sizeof screen;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &screen));
  EXPECT_TRUE(Inside(frame, screen.rcWork)) << "the window " << frame.left << "," << frame.top << "-" << frame.right
                                            << "," << frame.bottom << " leaves the screen";
  HWND text = GetDlgItem(window, UsageTextControlId);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(GetWindowLongA(text, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0) << "the text scrolls";
  RECT shown = {};
  SendMessageA(text, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
  const LRESULT lines = SendMessageA(text, EM_GETLINECOUNT, 0, 0);
  const std::string usage = WithoutFinalLineEnd(UsageText());
  EXPECT_EQ(lines, 1 + std::count(usage.begin(), usage.end(), '\n')) << "lines were wrapped";
  ASSERT_GE(lines, 2);
  const LONG lineHeight = CharacterAt(text, SendMessageA(text, EM_LINEINDEX, 1, 0)).y -
                          CharacterAt(text, SendMessageA(text, EM_LINEINDEX, 0, 0)).y;
  ASSERT_GT(lineHeight, 0);
  for (LRESULT line = 0; line < lines; ++line) {
    const LRESULT start = SendMessageA(text, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT length = SendMessageA(text, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (length == 0) continue;
    // The last character's left edge, and one more character's width.
    const POINT first = CharacterAt(text, start);
    const POINT last = CharacterAt(text, start + length - 1);
    const LONG cell = length > 1 ? (last.x - first.x) / static_cast<LONG>(length - 1) : 0;
    EXPECT_LE(last.x + cell, shown.right) << "line " << line << " is cut";
    EXPECT_GE(first.y, shown.top) << "line " << line;
    EXPECT_LE(first.y + lineHeight, shown.bottom) << "line " << line << " is cut";
  }
  // A fixed-pitch font keeps the columns of the text: on the first line
  // ("ControlPanel.exe   shows ..."), "l" is as wide as "C".
  EXPECT_EQ(CharacterAt(text, 1).x - CharacterAt(text, 0).x, CharacterAt(text, 12).x - CharacterAt(text, 11).x)
      << "the font is not fixed-pitch";
  EXPECT_TRUE(ClickControl(window, IDOK));
  ExpectExit("/?", 0);
}

// A refused command line says why in a box with the error icon.
TEST_F(UnseenOutputTest, ARefusedCommandLineShowsItsReasonInABox) {
  const struct {
    const char* arguments;
    const char* refusal;
  } cases[] = {
      {"/status /bogus", "\"/bogus\" is not an option, an option's argument or a switch"},
      {"/log", "\"/log\" names no file"},
      {"-cu+ /log -u", "\"/log\" must be followed by its file name, not by \"-u\""},
      // A token outside ASCII (typed in the ANSI code page here) is shown as
      // typed, not as the bytes of its UTF-8 form.
      {"/status \xE9t\xE9", "\"\xE9t\xE9\" is not an option, an option's argument or a switch"},
  };
  for (const auto& refused : cases) {
    Start(refused.arguments);
    ExpectBoxThenExit(refused.arguments, WithoutFinalLineEnd(RefusalLine(refused.refusal)), RefusedCommandLineCode);
  }
}

// Quiet runs show nothing, also without standard output: help and refusals
// end at once with their codes.
TEST_F(UnseenOutputTest, QuietRunsShowNoBox) {
  const struct {
    const char* arguments;
    int32_t exitCode;
  } cases[] = {{"/quiet /?", 0}, {"/? /QUIET", 0}, {"/quiet /bogus", RefusedCommandLineCode},
               {"/bogus /quiet -u", RefusedCommandLineCode}, {"/quiet /log", RefusedCommandLineCode}};
  for (const auto& quiet : cases) {
    Start(quiet.arguments);
    ExpectExit(quiet.arguments, quiet.exitCode);
    EXPECT_FALSE(session->AnyBoxOpen()) << quiet.arguments;
  }
}

// With a standard output nothing changes: help and refusals are printed and
// no box is shown (a box would keep the run waiting until the timeout).
TEST_F(UnseenOutputTest, WithStandardOutputNothingIsShown) {
  ProgramRun help = RunProgram(copy.Program(), "/?", std::string(), 30000);
  ASSERT_TRUE(help.ended);
  EXPECT_EQ(WithoutCarriageReturns(help.output), UsageText());
  EXPECT_EQ(help.exitCode, 0);
  ProgramRun refused = RunProgram(copy.Program(), "/status /bogus", std::string(), 30000);
  ASSERT_TRUE(refused.ended);
  EXPECT_EQ(WithoutCarriageReturns(refused.errors), RefusalLine("\"/bogus\" is not an option, an option's argument or a switch"));
  EXPECT_EQ(refused.exitCode, RefusedCommandLineCode);
}

}  // namespace
