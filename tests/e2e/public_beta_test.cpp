// "-r+" and "-r": joining and leaving the public beta through the player
// key's value "Additional Download URL".
#include <gtest/gtest.h>

#include <string>

#include "support/control_panel_copy_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"

namespace {

const char* const playerKey = "Software\\Quillframe\\Quillframe3";
const char* const technologyKey = "Software\\Quillframe";
const char* const valueName = "Additional Download URL";
const std::string builtInBeta = "https://components.corvalent.com/QuillframeComponentsBeta/";

class PublicBeta : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(copy.Ready()); }
  ProgramRun Run(const std::string& arguments) {
    ProgramRun run = RunProgram(copy.Program(), arguments);
    EXPECT_TRUE(run.started);
    run.output = WithoutCarriageReturns(run.output);
    return run;
  }
  std::string StoredSite(bool* found) { return MachineString(playerKey, valueName, found); }

  PlayerInstallation player;  // removes the keys before and after
  ControlPanelCopy copy;      // no "ControlPanelv306.ini" unless a test writes one
};

TEST_F(PublicBeta, JoiningStoresTheBuiltInBetaSite) {
  ASSERT_TRUE(player.Install());
  ProgramRun run = Run("-r+");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.exitCode, 0);
  bool found = false;
  EXPECT_EQ(StoredSite(&found), builtInBeta);
  EXPECT_TRUE(found);
  EXPECT_FALSE(PathExists(copy.Beside("ControlPanelv306.ini")));
}

TEST_F(PublicBeta, JoiningStoresTheConfiguredBetaSite) {
  ASSERT_TRUE(player.Install());
  const struct {
    std::string settings;
    std::string site;
  } cases[] = {
      {"[DownloadSitesValues]\r\nBeta = https://beta.example/Quillframe/\r\n", "https://beta.example/Quillframe/"},
      {"[DownloadSitesValues]\r\nBeta =\r\n", builtInBeta},
      {"[DownloadSitesValues]\r\nbeta = https://beta.example/\r\n", builtInBeta},
      // A site too long to be held whole is not stored cut.
      {"[DownloadSitesValues]\r\nBeta = https://" + std::string(3000, 'b') + "/\r\n", builtInBeta},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(copy.Beside("ControlPanelv306.ini"), c.settings));
    ProgramRun run = Run("-r+");
    EXPECT_EQ(run.output, "0\n") << c.settings;
    bool found = false;
    EXPECT_EQ(StoredSite(&found), c.site) << c.settings;
  }
}

TEST_F(PublicBeta, JoiningWithoutThePlayerMakesItsKeysAndLeavingRemovesThemAgain) {
  ASSERT_FALSE(MachineKeyExists(technologyKey));
  ProgramRun run = Run("-r+");
  EXPECT_EQ(run.output, "0\n");
  bool found = false;
  EXPECT_EQ(StoredSite(&found), builtInBeta);
  EXPECT_TRUE(found);

  run = Run("-r");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_FALSE(MachineKeyExists(playerKey));
  EXPECT_FALSE(MachineKeyExists(technologyKey));
}

TEST_F(PublicBeta, LeavingKeepsTheKeysOfAnInstalledPlayer) {
  ASSERT_TRUE(player.Install());
  ProgramRun run = Run("-r+ -r");
  EXPECT_EQ(run.output, "0\n");
  bool found = true;
  StoredSite(&found);
  EXPECT_FALSE(found);
  EXPECT_TRUE(MachineKeyExists(playerKey));
}

TEST_F(PublicBeta, LeavingWhenNotJoinedFails) {
  ASSERT_TRUE(player.Install());
  ProgramRun run = Run("-r");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(MachineKeyExists(playerKey));

  // Without any player key there is nothing to remove either; no key is made.
  DeleteMachineKeyTree(technologyKey);
  run = Run("-r");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_FALSE(MachineKeyExists(technologyKey));
}

TEST_F(PublicBeta, TheLastOptionGivesTheCode) {
  ASSERT_TRUE(player.Install());
  EXPECT_EQ(Run("-r -r+").output, "0\n");
  EXPECT_EQ(Run("-r+ -r -r").output, "1\n");
  bool found = false;
  StoredSite(&found);
  EXPECT_FALSE(found);
}

}  // namespace
