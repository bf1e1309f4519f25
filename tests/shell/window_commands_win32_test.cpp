// The main window's commands called directly with an owner window of the
// test's; end to end, through the window, in e2e/main_window_test.
#include "shell/window_commands_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/folder_files_win32.h"
#include "support/player_installation_win32.h"
#include "support/registry_win32.h"
#include "support/toolkit_windows_win32.h"
#include "support/unregister_log_win32.h"

namespace {

// The uninstall command.

const char* const Question =
    "\tAre you sure you want to Uninstall?\n(Please Exit Netscape and/or Explorer before clicking Yes)";

class UninstallCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", player.ComponentFolder() + "\\AxQuillframe3.dll"));
    owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override { DestroyWindow(owner); }

  void ExpectBox(const SeenBox& box, const char* buttons, const char* caption, const char* text) {
    EXPECT_EQ(box.owner, reinterpret_cast<uintptr_t>(owner)) << text;
    EXPECT_EQ(box.buttons, buttons) << text;
    EXPECT_EQ(box.caption, caption) << text;
    EXPECT_EQ(box.text, text);
  }

  Watchdog watchdog_{90000};
  UnregisterLog log;
  PlayerInstallation player;
  HWND owner = nullptr;
};

TEST_F(UninstallCommandTest, TheCommandSaysNotRegisteredWithoutAPlayer) {
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "missing"));
  BoxWatcher watcher;
  RunUninstallCommand(owner);
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], "ok", "Install Path", "Corvalent Media Player not registered.");
}

TEST_F(UninstallCommandTest, AnsweringNoChangesNothing) {
  BoxWatcher watcher(false);
  RunUninstallCommand(owner);
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], "yes,no", "Uninstall", Question);
  EXPECT_TRUE(PathExists(player.ComponentFolder() + "\\AxQuillframe3.dll"));
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
  EXPECT_TRUE(log.Libraries().empty());
}

TEST_F(UninstallCommandTest, AnsweringYesUninstallsAndReportsSuccess) {
  BoxWatcher watcher(true);
  RunUninstallCommand(owner);
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "yes,no", "Uninstall", Question);
  ExpectBox(boxes[1], "ok", "Uninstall", "Success");
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_EQ(log.Libraries().size(), 1u);
}

TEST_F(UninstallCommandTest, ADamagedLibraryEndsInThePossiblyRunningReport) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", player.ComponentFolder() + "\\Components\\AxQuillframeBroken.dll"));
  BoxWatcher watcher(true);
  RunUninstallCommand(owner);
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 3u);
  ExpectBox(boxes[0], "yes,no", "Uninstall", Question);
  ExpectBox(boxes[1], "ok", "Uninstall Failure",
            "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)");
  ExpectBox(boxes[2], "ok", "Uninstall Failure", "Explorer or Netscape are possibly running.");
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
}

}  // namespace
