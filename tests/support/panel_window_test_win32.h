#pragma once
// The base of the end-to-end window tests: a copy of the program (window
// mode writes its settings file beside it), a player installation made by
// the test, the program's session, and a watchdog, so that a stuck window
// fails the test instead of hanging the run.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shell/main_window_win32.h"
#include "support/control_panel_copy_win32.h"
#include "support/panel_window_win32.h"
#include "support/player_installation_win32.h"
#include "support/toolkit_windows_win32.h"

class PanelWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(copy.Ready()); }

  // Starts the copy in window mode (arguments: switches only) and waits for
  // its main window; none when it does not come.
  HWND Open(const std::string& arguments = std::string()) {
    session.reset(new PanelWindowSession(copy.Program(), arguments));
    if (!session->Started()) return nullptr;
    return session->WaitForMainWindow();
  }
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }
  // A session that only looks: shows the install path in window's box,
  // answers it, and closes the window with Ok.
  void ShowInstallPathAndClose(HWND window) {
    ASSERT_TRUE(ClickControl(window, InstallPathCommandId));
    PanelWindowSession::Box box = session->WaitForBox();
    ASSERT_NE(box.window, nullptr);
    AnswerBox(box.window, IDOK);
    ASSERT_TRUE(ClickControl(window, OkCommandId));
  }
  // Waits for the program to end and expects exit code 0.
  void ExpectEndsWithZero() {
    int32_t exitCode = -1;
    ASSERT_TRUE(session->WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0);
  }

  Watchdog watchdog{120000};
  ControlPanelCopy copy;
  PlayerInstallation player;
  std::unique_ptr<PanelWindowSession> session;
};
