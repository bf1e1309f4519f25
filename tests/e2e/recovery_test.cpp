// "-rcvr": uninstall, then start the full installer silently.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/unregister_log_win32.h"

namespace {

// A player, and an application folder holding the stand-in installer, which
// records its parameters in QLXFullInstall.log beside itself and sets the
// event CpanelInstallerStarted.
class RecoveryOption : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", player.ComponentFolder() + "\\AxQuillframe3.dll"));
    ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", application / "QLXFullInstall.exe"));
    started = CreateEventA(nullptr, TRUE, FALSE, "CpanelInstallerStarted");
    ASSERT_NE(started, nullptr);
  }
  void TearDown() override { CloseHandle(started); }
  ProgramRun Run() {
    ProgramRun run = RunProgram(ControlPanelProgram(), "-rcvr");
    run.output = WithoutCarriageReturns(run.output);
    return run;
  }

  UnregisterLog log;
  PlayerInstallation player;
  TempFolder application;
  HANDLE started = nullptr;
};

TEST_F(RecoveryOption, UninstallsAndStartsTheInstallerWithSilentParameter) {
  ASSERT_TRUE(player.SetApplicationPath(application.Path()));
  ProgramRun run = Run();
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  // The program does not wait for the installer; the test does, boundedly.
  ASSERT_EQ(WaitForSingleObject(started, 30000), WAIT_OBJECT_0) << "the installer did not start";
  EXPECT_EQ(ReadTextFile(application / "QLXFullInstall.log"), "-s");
  EXPECT_EQ(log.Libraries().size(), 1u);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
}

TEST_F(RecoveryOption, WithoutTheApplicationFolderChangesNothing) {
  const struct {
    const char* what;
    bool setValue;
    std::string value;
  } cases[] = {
      {"no maker key", false, ""},
      {"a folder that does not exist", true, application / "missing"},
  };
  for (const auto& c : cases) {
    if (c.setValue) ASSERT_TRUE(player.SetApplicationPath(c.value));
    ProgramRun run = Run();
    EXPECT_EQ(run.output, "1\n") << c.what;
    EXPECT_EQ(run.exitCode, 1) << c.what;
    EXPECT_TRUE(PathExists(player.ComponentFolder() + "\\AxQuillframe3.dll")) << c.what;
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << c.what;
  }
  EXPECT_TRUE(log.Libraries().empty());
  EXPECT_FALSE(PathExists(application / "QLXFullInstall.log"));
}

TEST_F(RecoveryOption, WithoutThePlayerStartsNothing) {
  ASSERT_TRUE(player.SetApplicationPath(application.Path()));
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "missing"));
  ProgramRun run = Run();
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(PathExists(application / "QLXFullInstall.log"));
}

TEST_F(RecoveryOption, PrintsZeroWhenTheInstallerCannotBeStarted) {
  TempFolder empty;
  ASSERT_TRUE(player.SetApplicationPath(empty.Path()));
  BoxWatcher watcher;  // the shell may report the missing file in a box of its own
  ProgramRun run = Run();
  watcher.Stop();
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_FALSE(PathExists(player.ComponentFolder())) << "the uninstall ran first";
}

}  // namespace
