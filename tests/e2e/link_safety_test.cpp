// Links inside the component folder: a loop back to the folder itself and a
// link to a folder outside the installation. Neither the uninstall nor the
// verification follows them: both end, nothing outside the installation is
// loaded, unregistered or deleted. A link as the resource cache or as the
// component folder itself is removed as the link, never followed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/installation_snapshot_win32.h"
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

// "Resources" or the component folder is itself a link (a symbolic link or a
// junction) to a folder outside the player: "-dr" and "-u" remove the link
// itself, or, where no link can be removed by itself (Wine), refuse; what it
// leads to keeps every byte, and "/whatif" foretells the run's code.
TEST(LinkedRemovalRoot, TheLinkGoesAndWhatItLeadsToStays) {
  const struct {
    const char* what;
    LinkKind kind;
    bool cache;  // "Resources" is the link ("-dr"), else the component folder ("-u")
  } cases[] = {
      {"a symbolic link as Resources", LinkKind::Symbolic, true},
      {"a junction as Resources", LinkKind::Junction, true},
      {"a symbolic link as the component folder", LinkKind::Symbolic, false},
      {"a junction as the component folder", LinkKind::Junction, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PlayerInstallation player;
    TempFolder data, logs;
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(WriteTextFile(player.ComponentFolder() + "\\QuillframeConfig.ini", "[ComponentMgrOptions]\r\n"));
    ASSERT_TRUE(WriteTextFile(data / "letter.txt", "letter"));
    ASSERT_TRUE(WriteTextFile(data / "Media\\clip.bin", "clip"));
    const std::string link = c.cache ? player.ComponentFolder() + "\\Resources" : player.Root() / "Linked";
    if (!c.cache) ASSERT_TRUE(player.SetComponentPath(link));
    SymbolicLink made(link, data.Path(), c.kind);
    if (!made.Made()) {
      ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
      continue;  // this account cannot make such a link
    }
    const std::vector<std::string> before = TreeSnapshot(data.Path());
    const std::string option = c.cache ? "-dr" : "-u";
    const std::string log = logs / "cp.log";
    ProgramRun described = RunProgram(ControlPanelProgram(), "/whatif " + option);
    ProgramRun run = RunProgram(ControlPanelProgram(), "/log \"" + log + "\" " + option);
    EXPECT_EQ(TreeSnapshot(data.Path()), before) << "what the link leads to keeps every byte";
    EXPECT_EQ(described.exitCode, run.exitCode) << "/whatif foretells the code";
    const std::string logText = ReadTextFile(log);
    if (IsRunningUnderWine()) {
      // Wine reaches a link's target with every call that removes: the
      // removal is refused, and the link stays.
      EXPECT_EQ(WithoutCarriageReturns(run.output), c.cache ? "0\n" : "-1\n");
      EXPECT_NE(logText.find("\"" + link + "\": it is a link that cannot be removed by itself; what it leads to is kept"),
                std::string::npos)
          << logText;
      EXPECT_TRUE(PathExists(link));
    } else {
      EXPECT_EQ(WithoutCarriageReturns(run.output), c.cache ? "1\n" : "0\n");
      EXPECT_NE(logText.find("removed link \"" + link + "\" (not what it leads to)"), std::string::npos) << logText;
      EXPECT_FALSE(PathExists(link));
    }
  }
}

}  // namespace
