// Both windows used from the keyboard alone: real key events through the
// system's input queue (SendInput, the window brought to the front first),
// never the commands the keys stand for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installation/installation.h"
#include "inventory/installed_components.h"
#include "shell/main_window_win32.h"
#include "support/panel_window_test_win32.h"
#include "support/registry_win32.h"

namespace {

constexpr char OptionsText[] = "[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\nLastUpdateCheckTime = 12345\r\n";

// The main window's controls in the order Tab visits them: top to bottom.
constexpr int TabOrder[] = {UninstallCommandId,       ListComponentsCommandId, InstallPathCommandId, CacheCommandId,
                            CheckForUpdatesCommandId, PublicBetaCommandId,     OkCommandId};

bool FocusCueHidden(HWND window) { return (SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0; }

// Whether the system shows focus cues before the keyboard is used (Wine
// always does).
bool CuesAlwaysShown() {
  BOOL shown = FALSE;
  SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &shown, 0);
  return shown != FALSE;
}

class WindowKeyboardTest : public PanelWindowTest {
 protected:
  // Presses the key until the focus is on id, from the control with the
  // focus now; false when it does not get there within the window's
  // controls.
  bool TabTo(HWND window, int id, WORD modifier = 0) {
    for (size_t i = 0; i <= sizeof TabOrder / sizeof TabOrder[0]; ++i) {
      if (FocusedControl(window) == GetDlgItem(window, id)) return true;
      HWND before = FocusedControl(window);
      if (!PressKey(window, VK_TAB, modifier)) return false;
      WaitUntil([&] { return FocusedControl(window) != before; }, 5000);
    }
    return FocusedControl(window) == GetDlgItem(window, id);
  }
  // Escape closes the window without a box and without uninstalling.
  void ExpectEscapeCloses(HWND window) {
    EXPECT_TRUE(PressKey(window, VK_ESCAPE));
    ExpectEndsWithZero();
    EXPECT_FALSE(session->AnyBoxOpen());
    EXPECT_TRUE(PathExists(player.ComponentFolder()));
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
  }
};

TEST_F(WindowKeyboardTest, TheMainWindowOpensOnOkWhichEnterPresses) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), OptionsText));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitForFocus(window, OkCommandId)) << "the safe control has the focus";
  HWND ok = GetDlgItem(window, OkCommandId);
  EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(SendMessageA(window, DM_GETDEFID, 0, 0), MAKELONG(OkCommandId, DC_HASDEFID));
  EXPECT_EQ(FocusCueHidden(window), !CuesAlwaysShown()) << "no focus cue before the keyboard is used";
  EXPECT_TRUE(PressKey(window, VK_RETURN));
  ExpectEndsWithZero();
  EXPECT_EQ(ReadTextFile(Component("QuillframeConfig.ini")), OptionsText) << "nothing changed";
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
}

TEST_F(WindowKeyboardTest, TabAndShiftTabGoThroughTheControlsTopToBottom) {
  ASSERT_TRUE(player.Install());
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForFocus(window, OkCommandId));
  // From "Ok", the last one, Tab goes round to the first, then down.
  for (int id : TabOrder) {
    EXPECT_TRUE(PressKey(window, VK_TAB)) << id;
    EXPECT_TRUE(WaitForFocus(window, id)) << id;
    EXPECT_FALSE(FocusCueHidden(window)) << "the keyboard was used: the focus shows";
  }
  for (size_t i = sizeof TabOrder / sizeof TabOrder[0] - 1; i-- > 0;) {
    EXPECT_TRUE(PressKey(window, VK_TAB, VK_SHIFT)) << TabOrder[i];
    EXPECT_TRUE(WaitForFocus(window, TabOrder[i])) << TabOrder[i];
  }
  // On the uninstall button, whose id Escape is sent as.
  ASSERT_TRUE(WaitForFocus(window, UninstallCommandId));
  ExpectEscapeCloses(window);
}

TEST_F(WindowKeyboardTest, TabSkipsWhatNeedsAPlayerWhenThereIsNone) {
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForFocus(window, OkCommandId));
  for (int id : {PublicBetaCommandId, OkCommandId, PublicBetaCommandId}) {
    EXPECT_TRUE(PressKey(window, VK_TAB)) << id;
    EXPECT_TRUE(WaitForFocus(window, id)) << id;
  }
  EXPECT_TRUE(PressKey(window, VK_ESCAPE));
  ExpectEndsWithZero();
}

TEST_F(WindowKeyboardTest, SpaceTogglesTheCheckBoxAndEnterThenPressesOk) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), OptionsText));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForFocus(window, OkCommandId));
  ASSERT_TRUE(TabTo(window, CheckForUpdatesCommandId, VK_SHIFT));
  ASSERT_TRUE(ReadControl(window, CheckForUpdatesCommandId).checked);
  EXPECT_TRUE(PressKey(window, VK_SPACE));
  EXPECT_TRUE(WaitUntil([&] { return !ReadControl(window, CheckForUpdatesCommandId).checked; }, 5000));
  EXPECT_TRUE(WaitUntil(
      [&] { return ReadTextFile(Component("QuillframeConfig.ini")).find("CheckForUpdates = 0") != std::string::npos; },
      5000))
      << "stored as a click stores it";
  // Enter on a check box presses the default button, "Ok".
  EXPECT_TRUE(PressKey(window, VK_RETURN));
  ExpectEndsWithZero();
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
}

TEST_F(WindowKeyboardTest, EscapeAfterABoxClosesTheWindowAndNeverUninstalls) {
  ASSERT_TRUE(player.Install());
  // Each box opened with Space on its button and closed by a key: an
  // information box closed with Escape or with Space on its button, the
  // uninstall question answered with Enter (No is its default answer).
  const struct {
    int id;
    const char* caption;
    WORD closingKey;
  } cases[] = {
      {InstallPathCommandId, "Install Path", VK_ESCAPE},
      {CacheCommandId, "Delete", VK_SPACE},
      {UninstallCommandId, "Uninstall", VK_RETURN},
  };
  for (const auto& c : cases) {
    HWND window = Open();
    ASSERT_NE(window, nullptr) << c.caption;
    ASSERT_TRUE(WaitForFocus(window, OkCommandId)) << c.caption;
    ASSERT_TRUE(TabTo(window, c.id)) << c.caption;
    EXPECT_TRUE(PressKey(window, VK_SPACE)) << c.caption;
    PanelWindowSession::Box box = session->WaitForBox();
    ASSERT_NE(box.window, nullptr) << c.caption;
    EXPECT_EQ(box.seen.caption, c.caption);
    EXPECT_TRUE(PressKey(box.window, c.closingKey)) << c.caption;
    ASSERT_TRUE(WaitUntilDestroyed(box.window)) << c.caption;
    EXPECT_TRUE(WaitForFocus(window, c.id)) << "the focus is back on the button: " << c.caption;
    ExpectEscapeCloses(window);
  }
}

// Escape closes the window however it arrives: typed through the input
// queue, or posted as automation and accessibility tools send keys (which
// leave the keyboard's state alone), to the control with the focus, to the
// uninstall button whose id the dialog manager sends Escape as, or to the
// window itself. It never reaches the uninstall command.
TEST_F(WindowKeyboardTest, EscapeClosesTheWindowHoweverItArrives) {
  ASSERT_TRUE(player.Install());
  const TempFolder logs;
  const struct {
    int focus;     // the control that has the focus, by Tab; 0: as the window opens
    int postedTo;  // the control the key is posted to; -1: typed; 0: the window
  } cases[] = {
      {UninstallCommandId, -1}, {0, -1},
      {0, UninstallCommandId},  {UninstallCommandId, UninstallCommandId},
      {0, OkCommandId},         {CheckForUpdatesCommandId, CheckForUpdatesCommandId},
      {0, 0},
  };
  for (const auto& c : cases) {
    const std::string named = std::to_string(c.focus) + " " + std::to_string(c.postedTo);
    const std::string log = logs / ("escape " + named + ".log");
    HWND window = Open("/log \"" + log + "\"");
    ASSERT_NE(window, nullptr) << named;
    ASSERT_TRUE(WaitForFocus(window, OkCommandId)) << named;
    if (c.focus) {
      ASSERT_TRUE(TabTo(window, c.focus)) << named;
    }
    if (c.postedTo < 0) {
      EXPECT_TRUE(PressKey(window, VK_ESCAPE)) << named;
    } else {
      EXPECT_TRUE(PostKey(c.postedTo ? GetDlgItem(window, c.postedTo) : window, VK_ESCAPE)) << named;
    }
    ExpectEndsWithZero();
    EXPECT_FALSE(session->AnyBoxOpen()) << named;
    EXPECT_TRUE(PathExists(player.ComponentFolder())) << named;
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << named;
    const std::string logText = ReadTextFile(log);
    EXPECT_NE(logText.find("window closed by Escape"), std::string::npos) << named << ": " << logText;
    EXPECT_EQ(logText.find("Uninstall Corvalent Media Player"), std::string::npos) << named << ": " << logText;
  }
  // A click on the uninstall button is still the uninstall command: its
  // question comes.
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickControl(window, UninstallCommandId));
  PanelWindowSession::Box question = session->WaitForBox();
  ASSERT_NE(question.window, nullptr);
  EXPECT_EQ(question.seen.caption, "Uninstall");
  EXPECT_TRUE(AnswerBox(question.window, IDNO));
  EXPECT_TRUE(PathExists(player.ComponentFolder()));
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(WindowKeyboardTest, AfterAnUninstallByKeyTheFocusIsOnAControlThatIsStillEnabled) {
  ASSERT_TRUE(player.Install());
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForFocus(window, OkCommandId));
  ASSERT_TRUE(TabTo(window, UninstallCommandId));
  EXPECT_TRUE(PressKey(window, VK_SPACE));
  PanelWindowSession::Box question = session->WaitForBox();
  ASSERT_NE(question.window, nullptr);
  EXPECT_EQ(question.seen.caption, "Uninstall");
  // Yes by its access key.
  EXPECT_TRUE(PressKey(question.window, 'Y'));
  PanelWindowSession::Box outcome = session->WaitForBox();
  ASSERT_NE(outcome.window, nullptr);
  EXPECT_EQ(outcome.seen.text, "Success");
  EXPECT_TRUE(PressKey(outcome.window, VK_RETURN));
  ASSERT_TRUE(WaitUntilDestroyed(outcome.window));
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  // The uninstall button is disabled now: the focus is on one of the two
  // controls still enabled, and Tab goes between them.
  EXPECT_TRUE(WaitUntil(
      [&] {
        HWND focus = FocusedControl(window);
        return focus && GetParent(focus) == window && IsWindowEnabled(focus);
      },
      5000));
  for (int id : {OkCommandId, PublicBetaCommandId, OkCommandId}) {
    ASSERT_TRUE(TabTo(window, id)) << id;
    EXPECT_TRUE(TabTo(window, id == OkCommandId ? PublicBetaCommandId : OkCommandId, VK_SHIFT)) << id;
  }
  ASSERT_TRUE(TabTo(window, OkCommandId));
  EXPECT_TRUE(PressKey(window, VK_RETURN));
  ExpectEndsWithZero();
}

TEST_F(WindowKeyboardTest, TheComponentsWindowTabsBetweenItsListsScrollsAndClosesByKey) {
  ASSERT_TRUE(player.Install());
  std::string list;
  for (int i = 0; i < 60; ++i)
    list += "[f" + std::to_string(i) + "]\r\nFragmentFileName = f" + std::to_string(100 + i) +
            ".dll\r\nFragmentVersion_Win = 1\r\n";
  ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList.txt"), list));
  HWND main = Open();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitForFocus(main, OkCommandId));
  for (WORD closingKey : {VK_ESCAPE, VK_RETURN}) {
    ASSERT_TRUE(TabTo(main, ListComponentsCommandId)) << closingKey;
    EXPECT_TRUE(PressKey(main, VK_SPACE));
    HWND window = session->WaitForWindow(InstalledComponentsTitle);
    ASSERT_NE(window, nullptr) << closingKey;
    std::vector<HWND> lists;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char name[16] = "";
      GetClassNameA(child, name, sizeof name);
      if (lstrcmpiA(name, "ListBox") == 0) lists.push_back(child);
    }
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(window) == lists[0]; }, 5000)) << "the left list has the focus";
    for (HWND next : {lists[1], lists[0], lists[1]}) {
      EXPECT_TRUE(PressKey(window, VK_TAB, next == lists[0] ? VK_SHIFT : 0));
      EXPECT_TRUE(WaitUntil([&] { return FocusedControl(window) == next; }, 5000));
    }
    // The right list, 60 lines long: the keys move through it and scroll it.
    const HWND fragments = lists[1];
    EXPECT_EQ(SendMessageA(fragments, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_TRUE(PressKey(window, VK_DOWN));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(fragments, LB_GETCARETINDEX, 0, 0) > 0; }, 5000));
    EXPECT_TRUE(PressKey(window, VK_NEXT));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(fragments, LB_GETTOPINDEX, 0, 0) > 0; }, 5000));
    const LRESULT paged = SendMessageA(fragments, LB_GETTOPINDEX, 0, 0);
    EXPECT_TRUE(PressKey(window, VK_END));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(fragments, LB_GETCARETINDEX, 0, 0) == 59; }, 5000));
    EXPECT_GT(SendMessageA(fragments, LB_GETTOPINDEX, 0, 0), paged);
    EXPECT_TRUE(PressKey(window, VK_PRIOR));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(fragments, LB_GETCARETINDEX, 0, 0) < 59; }, 5000));

    EXPECT_TRUE(PressKey(window, closingKey));
    EXPECT_TRUE(session->WaitForWindowGone(InstalledComponentsTitle)) << closingKey;
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
    EXPECT_TRUE(IsWindow(main)) << "the main window stays";
    EXPECT_FALSE(session->AnyBoxOpen());
  }
  ExpectEscapeCloses(main);
}

}  // namespace
