// Links inside the component folder: a loop back to the folder itself and a
// link to a folder outside the installation. Neither the uninstall nor the
// verification follows them: both end, nothing outside the installation is
// loaded, unregistered or deleted.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/links_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/unregister_log_win32.h"

namespace {

class LinkedComponentFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("AxQuillframe3.dll")));
    ASSERT_TRUE(CopyFixture("VersionSpaced.dll", Component("Components\\QFXCodec.dll")));  // "3, 0, 1, 27"
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", outside / "AxQuillframeForeign.dll"));
    ASSERT_TRUE(CopyFixture("VersionSpaced.dll", outside / "QFXForeign.dll"));
    ASSERT_TRUE(WriteTextFile(outside / "letter.txt", "letter"));
    loop.reset(new SymbolicLink(Component("Components\\loop"), player.ComponentFolder()));
    if (!loop->Made()) {
      ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
      GTEST_SKIP() << "symbolic links cannot be made here";
    }
    elsewhere.reset(new SymbolicLink(Component("Plugins"), outside.Path()));
    ASSERT_TRUE(elsewhere->Made());
  }
  void TearDown() override {
    elsewhere.reset();
    loop.reset();
  }
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }
  void ExpectOutsideUntouched() {
    EXPECT_EQ(ReadTextFile(outside / "letter.txt"), "letter");
    EXPECT_TRUE(PathExists(outside / "AxQuillframeForeign.dll"));
    EXPECT_TRUE(PathExists(outside / "QFXForeign.dll"));
  }

  UnregisterLog log;
  TempFolder outside;
  PlayerInstallation player;
  std::unique_ptr<SymbolicLink> loop, elsewhere;
};

TEST_F(LinkedComponentFolder, VerificationDoesNotLookThroughLinks) {
  ASSERT_TRUE(WriteTextFile(player.Root() / "list.txt",
                            "[DLL_Versions]\r\nDLL = QFXCodec\r\nVersion = 3.0.1.27\r\n"
                            "DLL = QFXForeign\r\nVersion = 3.0.1.27\r\n"));
  ProgramRun run = RunProgram(ControlPanelProgram(), "-v " + (player.Root() / "list.txt"), "", 30000);
  ASSERT_TRUE(run.started);
  // The library in "Components" is found; the one behind the "Plugins" link is not.
  EXPECT_EQ(WithoutCarriageReturns(run.output), "2\n");
  EXPECT_EQ(run.exitCode, 2);
  ExpectOutsideUntouched();
}

TEST_F(LinkedComponentFolder, UninstallNeitherFollowsNorDeletesThroughLinks) {
  BoxWatcher watcher;
  ProgramRun run = RunProgram(ControlPanelProgram(), "-u", "", 30000);
  ASSERT_TRUE(run.started);
  watcher.Stop();
  ExpectOutsideUntouched();
  for (const std::string& library : log.Libraries()) EXPECT_NE(library, "AxQuillframeForeign.dll");
  if (IsRunningUnderWine()) {
    // Wine removes a link's target instead of the link, so a tree that holds
    // links is refused whole: the component folder stays and is reported.
    EXPECT_EQ(WithoutCarriageReturns(run.output), "-1\n");
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_TRUE(PathExists(Component("Components\\QFXCodec.dll")));
  } else {
    EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
    EXPECT_FALSE(PathExists(player.ComponentFolder()));
  }
}

}  // namespace
