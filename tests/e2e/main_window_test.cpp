// The main control-panel window, driven as a person uses it: the real
// program started without arguments, its window found by its title, its
// controls read and clicked, its boxes read and answered.
#include <gtest/gtest.h>

#include <string>

#include "foundation/core/paths.h"
#include "installation/installation.h"
#include "settings/download_sites.h"
#include "shell/main_window_win32.h"
#include "support/fixtures_win32.h"
#include "support/held_file_win32.h"
#include "support/panel_window_test_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"

namespace {

constexpr char Title[] = "Corvalent Control Panel 3.0.6.0";
constexpr char NotRegistered[] = "Corvalent Media Player not registered.";
constexpr char Question[] =
    "\tAre you sure you want to Uninstall?\n(Please Exit Netscape and/or Explorer before clicking Yes)";
constexpr char OptionsText[] =
    "[Other]\r\nkeep = this\r\n[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\nLastUpdateCheckTime = 12345\r\n"
    "BroadcastKey = 1\r\n";

// The controls as the window shows them, top to bottom: command id, check box
// or push button, caption, and rectangle in client pixels.
const struct {
  int id;
  bool checkBox;
  const char* caption;
  Rect rect;
} Controls[] = {
    {2, false, "Uninstall Corvalent Media Player", {2, 5, 248, 45}},
    {9, false, "List Installed QLX Components...", {2, 75, 248, 99}},
    {0, false, "Display QLX Install Path...", {2, 100, 248, 124}},
    {8, false, "Delete QLX Resource Cache", {2, 125, 248, 149}},
    {11, true, "Check for Updates", {8, 175, 248, 200}},
    {13, true, "Participate QLX Public Beta", {8, 200, 248, 216}},
    {4, false, "Ok", {2, 224, 248, 249}},
};

class MainWindowTest : public PanelWindowTest {
 protected:
  // Clicks, then waits for the box the click shows and checks what it says.
  PanelWindowSession::Box ClickForBox(HWND window, int id, const char* caption, const char* text,
                                      const char* buttons = "ok") {
    EXPECT_TRUE(ClickControl(window, id)) << id;
    PanelWindowSession::Box box = session->WaitForBox();
    EXPECT_NE(box.window, nullptr) << caption;
    EXPECT_EQ(box.seen.owner, reinterpret_cast<uintptr_t>(window)) << caption;
    EXPECT_EQ(box.seen.caption, caption);
    EXPECT_EQ(box.seen.text, text);
    EXPECT_EQ(box.seen.buttons, buttons) << caption;
    return box;
  }
  // Waits until the control shows the state (the window refreshes itself
  // when it comes to the front again).
  bool WaitForState(HWND window, int id, bool enabled, bool checked) {
    return WaitUntil(
        [&] {
          ControlView view = ReadControl(window, id);
          return view.enabled == enabled && view.checked == checked;
        },
        5000);
  }
};

TEST_F(MainWindowTest, ShowsItsControlsWithThePlayersState) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), OptionsText));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  Rect client = ClientRect(window);
  EXPECT_EQ(client.right, 250);
  EXPECT_EQ(client.bottom, 249);
  // Centred on the test desktop.
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, TestDesktopWidth / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, TestDesktopHeight / 2, 1);
  for (const auto& row : Controls) {
    ControlView view = ReadControl(window, row.id);
    ASSERT_TRUE(view.present) << row.caption;
    EXPECT_EQ(view.className, "Button") << row.caption;
    HWND control = GetDlgItem(window, row.id);
    const LONG kind = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    EXPECT_EQ(kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX, row.checkBox) << row.caption;
    EXPECT_EQ(view.caption, row.caption);
    EXPECT_EQ(view.rect.left, row.rect.left) << row.caption;
    EXPECT_EQ(view.rect.top, row.rect.top) << row.caption;
    EXPECT_EQ(view.rect.right, row.rect.right) << row.caption;
    EXPECT_EQ(view.rect.bottom, row.rect.bottom) << row.caption;
    EXPECT_TRUE(view.enabled) << row.caption;
  }
  EXPECT_TRUE(ReadControl(window, CheckForUpdatesCommandId).checked);
  EXPECT_FALSE(ReadControl(window, PublicBetaCommandId).checked);
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
  EXPECT_EQ(ReadTextFile(Component("QuillframeConfig.ini")), OptionsText) << "nothing was changed";
  EXPECT_TRUE(PathExists(copy.Beside("ControlPanelv306.ini"))) << "the settings file is made beside the program";
}

TEST_F(MainWindowTest, WithoutAPlayerOnlyOkAndTheBetaBoxAreEnabled) {
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, BuiltInBetaSite));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  for (const auto& row : Controls) {
    bool alwaysEnabled = row.id == OkCommandId || row.id == PublicBetaCommandId;
    EXPECT_EQ(ReadControl(window, row.id).enabled, alwaysEnabled) << row.caption;
  }
  EXPECT_TRUE(ReadControl(window, CheckForUpdatesCommandId).checked) << "no options file reads as checked";
  EXPECT_TRUE(ReadControl(window, PublicBetaCommandId).checked) << "the beta value is there";
  EXPECT_FALSE(ClickControl(window, UninstallCommandId)) << "a disabled button cannot be clicked";
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, ReadsTheUpdateCheckFromTheOptionsFile) {
  ASSERT_TRUE(player.Install());
  const struct {
    const char* text;  // none: no file
    bool checked;
  } cases[] = {
      {nullptr, true},
      {"[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n", false},
      {"[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\n", true},
      {"[ComponentMgrOptions]\r\nCheckForUpdates = 256\r\n", false},  // only the low byte counts
      {"[ComponentMgrOptions]\r\nBroadcastKey = 1\r\n", true},         // no key
      {"[ComponentMgrOptions]\r\nCheckForUpdates =\r\n", true},        // an empty value
  };
  for (const auto& c : cases) {
    RemovePath(Component("QuillframeConfig.ini"));
    if (c.text) ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), c.text));
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ReadControl(window, CheckForUpdatesCommandId).checked, c.checked) << (c.text ? c.text : "no file");
    RequestClose(window);
    ExpectEndsWithZero();
  }
}

TEST_F(MainWindowTest, ShowsTheWholeInstallPath) {
  ASSERT_TRUE(player.Install());
  // As long as a path may be.
  std::string value = player.ComponentFolder();
  while (value.size() + 2 <= FixedPath::SetTextLimit) value += "\\.";
  ASSERT_TRUE(player.SetComponentPath(value));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  PanelWindowSession::Box box = ClickForBox(window, InstallPathCommandId, "Install Path", value.c_str());
  AnswerBox(box.window, IDOK);

  // The player goes away while the window is open: the command says so, and
  // the window disables what needs the player once it is in front again.
  DeleteMachineKeyTree(PlayerKeyPath);
  box = ClickForBox(window, InstallPathCommandId, "Install Path", NotRegistered);
  AnswerBox(box.window, IDOK);
  EXPECT_TRUE(WaitForState(window, InstallPathCommandId, false, false));
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, DeletesTheResourceCacheWithoutAsking) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("Resources\\Sub\\a.bin"), "a"));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  PanelWindowSession::Box box =
      ClickForBox(window, CacheCommandId, "Delete", "Resource folder deleted sucessfully.");
  EXPECT_FALSE(PathExists(Component("Resources")));
  AnswerBox(box.window, IDOK);
  box = ClickForBox(window, CacheCommandId, "Delete", "Resource folder not found");
  AnswerBox(box.window, IDOK);
  EXPECT_TRUE(PathExists(player.ComponentFolder()));
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

// The uninstall's boxes wait for a person without the settings lock: beside
// each of them, the box about a library that cannot be loaded and the
// outcome, an agent's change runs at once and succeeds.
TEST_F(MainWindowTest, ARunBesideTheUninstallsOpenBoxesDoesNotWait) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("AxQuillframeOld.dll")));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  PanelWindowSession::Box box = ClickForBox(window, UninstallCommandId, "Uninstall", Question, "yes,no");
  AnswerBox(box.window, IDYES);
  const struct {
    const char* caption;
    const char* text;
  } boxes[] = {
      {"Uninstall Failure", "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)"},
      {"Uninstall Failure", "Explorer or Netscape are possibly running."},
  };
  for (const auto& expected : boxes) {
    box = session->WaitForBox();
    ASSERT_NE(box.window, nullptr) << expected.text;
    EXPECT_EQ(box.seen.caption, expected.caption);
    EXPECT_EQ(box.seen.text, expected.text);
    ProgramRun agent = RunPanel("/quiet -cu+");
    EXPECT_EQ(agent.output, "0\n") << expected.text << ": the agent's run had its turn at once";
    EXPECT_TRUE(IsWindow(box.window)) << expected.text << ": while the box was open";
    EXPECT_TRUE(AnswerBox(box.window, IDOK));
  }
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_TRUE(WaitForState(window, UninstallCommandId, false, false));
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, UninstallsOnlyAfterYes) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("Components\\a.dll"), "a"));
  HWND window = Open();
  ASSERT_NE(window, nullptr);

  // No, and Enter (No is the default answer): nothing changes.
  PanelWindowSession::Box box = ClickForBox(window, UninstallCommandId, "Uninstall", Question, "yes,no");
  AnswerBox(box.window, IDNO);
  box = ClickForBox(window, UninstallCommandId, "Uninstall", Question, "yes,no");
  EXPECT_TRUE(PressKey(box.window, VK_RETURN));
  ASSERT_TRUE(WaitUntilDestroyed(box.window));
  // The next command runs only after the last one has ended: its box comes
  // next, not an uninstall's outcome.
  box = ClickForBox(window, CacheCommandId, "Delete", "Resource folder not found");
  AnswerBox(box.window, IDOK);
  EXPECT_TRUE(PathExists(Component("Components\\a.dll")));
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));

  box = ClickForBox(window, UninstallCommandId, "Uninstall", Question, "yes,no");
  AnswerBox(box.window, IDYES);
  PanelWindowSession::Box outcome = session->WaitForBox();
  EXPECT_EQ(outcome.seen.caption, "Uninstall");
  EXPECT_EQ(outcome.seen.text, "Success");
  AnswerBox(outcome.window, IDOK);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));
  // Refreshed: what needs the player is disabled now.
  EXPECT_TRUE(WaitForState(window, UninstallCommandId, false, false));
  EXPECT_TRUE(ReadControl(window, OkCommandId).enabled);
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, EscapeClosesTheWindowAndNeverUninstalls) {
  ASSERT_TRUE(player.Install());
  for (bool buttonFocused : {false, true}) {
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    if (buttonFocused) {
      // A clicked button keeps the focus; Escape then comes through the
      // dialog manager as the command of the cancel id, the uninstall
      // button's.
      PanelWindowSession::Box box = ClickForBox(window, CacheCommandId, "Delete", "Resource folder not found");
      AnswerBox(box.window, IDOK);
    }
    EXPECT_TRUE(PressKey(window, VK_ESCAPE)) << buttonFocused;
    ExpectEndsWithZero();
    EXPECT_FALSE(session->AnyBoxOpen()) << buttonFocused;
    EXPECT_TRUE(PathExists(player.ComponentFolder())) << buttonFocused;
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << buttonFocused;
  }
}

TEST_F(MainWindowTest, StoresTheUpdateCheckWhenToggled) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), OptionsText));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickControl(window, CheckForUpdatesCommandId));
  ASSERT_TRUE(WaitForState(window, CheckForUpdatesCommandId, true, false));
  // The box's state is stored at once and the time reset; the rest stays.
  // Waited for whole: a file being replaced may read as nothing for a moment.
  const std::string stored =
      "[Other]\r\nkeep = this\r\n[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"
      "LastUpdateCheckTime = 0\r\nBroadcastKey = 1\r\n";
  WaitUntil([&] { return ReadTextFile(Component("QuillframeConfig.ini")) == stored; }, 5000);
  EXPECT_EQ(ReadTextFile(Component("QuillframeConfig.ini")), stored);
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, AddsWhatTheOptionsFileLacksAndKeepsTheRest) {
  ASSERT_TRUE(player.Install());
  // A missing file is made with the section and its two keys; a file without
  // the section or a key gets what it lacks, and every other line stays.
  const struct {
    const char* before;  // none: no file
    const char* after;
  } cases[] = {
      {nullptr, "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 0\r\n\r\n"},
      {"[Other]\r\nkeep = this\r\n",
       "[Other]\r\nkeep = this\r\n[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 0\r\n"},
      {"[ComponentMgrOptions]\r\nBroadcastKey = 1\r\n",
       "[ComponentMgrOptions]\r\nBroadcastKey = 1\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 0\r\n"},
      {"; managed by IT\r\n[ComponentMgrOptions]\r\nLastUpdateCheckTime=5\r\n\r\n[Proxy]\r\nHost=proxy.corp\r\n",
       "; managed by IT\r\n[ComponentMgrOptions]\r\nLastUpdateCheckTime=0\r\nCheckForUpdates = 0\r\n\r\n[Proxy]\r\n"
       "Host=proxy.corp\r\n"},
  };
  for (const auto& c : cases) {
    RemovePath(Component("QuillframeConfig.ini"));
    if (c.before) ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), c.before));
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ReadControl(window, CheckForUpdatesCommandId).checked);
    ASSERT_TRUE(ClickControl(window, CheckForUpdatesCommandId));
    WaitUntil([&] { return ReadTextFile(Component("QuillframeConfig.ini")) == c.after; }, 5000);
    EXPECT_EQ(ReadTextFile(Component("QuillframeConfig.ini")), c.after) << (c.before ? c.before : "no file");
    EXPECT_TRUE(ClickControl(window, OkCommandId));
    ExpectEndsWithZero();
  }
}

TEST_F(MainWindowTest, AnOptionsFileThatCannotBeRewrittenIsNeverReplaced) {
  ASSERT_TRUE(player.Install());
  // Held open by another program, or saved as UTF-16: the two-key rebuild
  // would lose what the file holds.
  std::string utf16("\xFF\xFE", 2);
  for (char c : std::string(OptionsText)) utf16 += std::string(1, c) + '\0';
  for (bool held : {true, false}) {
    const std::string text = held ? std::string(OptionsText) : utf16;
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), text));
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    const bool checkedBefore = ReadControl(window, CheckForUpdatesCommandId).checked;
    {
      HeldFile holder(Component("QuillframeConfig.ini"), held ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
      ASSERT_TRUE(holder.IsOpen());
      PanelWindowSession::Box box = ClickForBox(window, CheckForUpdatesCommandId, "Check for Updates",
                                                "The update check setting could not be saved.\n"
                                                "(The settings file is in use or cannot be written.)");
      AnswerBox(box.window, IDOK);
    }
    EXPECT_EQ(ReadTextFile(Component("QuillframeConfig.ini")), text) << held;
    EXPECT_TRUE(WaitForState(window, CheckForUpdatesCommandId, true, checkedBefore)) << "back to what the file holds";
    EXPECT_TRUE(ClickControl(window, OkCommandId));
    ExpectEndsWithZero();
    EXPECT_EQ(ReadTextFile(Component("QuillframeConfig.ini")), text) << held;
  }
}

TEST_F(MainWindowTest, TheUpdateCheckWithoutAPlayerSaysNotRegistered) {
  // The player goes away after the window has come up with it.
  ASSERT_TRUE(player.Install());
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  DeleteMachineKeyTree(PlayerKeyPath);
  PanelWindowSession::Box box = ClickForBox(window, CheckForUpdatesCommandId, "Install Path", NotRegistered);
  AnswerBox(box.window, IDOK);
  EXPECT_TRUE(WaitForState(window, CheckForUpdatesCommandId, false, false)) << "cleared again";
  EXPECT_FALSE(PathExists(Component("QuillframeConfig.ini")));
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, TheBetaBoxJoinsAndLeavesThePublicBeta) {
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(Component("QFXDownloadSites.txt"), "[Download Sites]\r\nsite = https://a.example/\r\n"));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickControl(window, PublicBetaCommandId));
  bool found = false;
  WaitUntil(
      [&] {
        MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found);
        return found;
      },
      5000);
  EXPECT_EQ(MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found), BuiltInBetaSite);
  // Each list is waited for whole: a file being replaced may read as nothing
  // for a moment, which holds no beta site either.
  const std::string joined =
      std::string("[Download Sites]\r\nsite = ") + BuiltInBetaSite + "\r\nsite = https://a.example/\r\n";
  WaitUntil([&] { return ReadTextFile(Component("QFXDownloadSites.txt")) == joined; }, 5000);
  EXPECT_EQ(ReadTextFile(Component("QFXDownloadSites.txt")), joined);

  // Leaving when the value is already gone says so and still takes the beta
  // site off the list.
  DeleteMachineKeyTree(PlayerKeyPath);
  ASSERT_TRUE(player.Install());
  PanelWindowSession::Box box = ClickForBox(window, PublicBetaCommandId, "Registry Error",
                                            "Unable to remove reg key for Downloading");
  AnswerBox(box.window, IDOK);
  const std::string left = "[Download Sites]\r\nsite = https://a.example/\r\n";
  WaitUntil([&] { return ReadTextFile(Component("QFXDownloadSites.txt")) == left; }, 5000);
  EXPECT_EQ(ReadTextFile(Component("QFXDownloadSites.txt")), left);
  EXPECT_FALSE(ReadControl(window, PublicBetaCommandId).checked);
  EXPECT_TRUE(ClickControl(window, OkCommandId));
  ExpectEndsWithZero();
}

TEST_F(MainWindowTest, ACloseRequestWhileABoxIsOpenEndsCleanly) {
  ASSERT_TRUE(player.Install());
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  PanelWindowSession::Box box = ClickForBox(window, UninstallCommandId, "Uninstall", Question, "yes,no");
  ASSERT_NE(box.window, nullptr);
  RequestClose(window);
  ExpectEndsWithZero();
  EXPECT_TRUE(PathExists(player.ComponentFolder())) << "closing never answers Yes";
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
}

}  // namespace
