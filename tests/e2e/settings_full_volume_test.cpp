// The settings options on a full disk: a write that does not fit leaves the
// old file exactly as it was, and the option prints 1. The test harness
// mounts a small volume for this test and names it in PROFILE_FULL_VOLUME;
// without it the test has nothing to work on and is skipped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/volume_filler_win32.h"

namespace {

const std::string options = "[ComponentMgrOptions]\nCheckForUpdates = 0\nLastUpdateCheckTime = 77\n";
const std::string checkOn = "[ComponentMgrOptions]\nCheckForUpdates = 1\nLastUpdateCheckTime = 77\n";
const std::string sites = "[Download Sites]\nsite = https://a/\n[Other]\nk = v\n";

TEST(SettingsFullVolumeTest, WritesThatDoNotFitLeaveTheFilesAsTheyWere) {
  const std::string root = SmallVolumeRoot();
  if (root.empty()) GTEST_SKIP() << "PROFILE_FULL_VOLUME names no small volume";
  const std::string folder = root + "settings";
  RemovePath(folder);
  ASSERT_TRUE(MakeFolders(folder)) << folder;
  PlayerInstallation player;
  ASSERT_TRUE(player.SetComponentPath(folder));
  const std::string config = folder + "\\QuillframeConfig.ini";
  const std::string siteList = folder + "\\QFXDownloadSites.txt";
  ASSERT_TRUE(WriteTextFile(config, options));
  ASSERT_TRUE(WriteTextFile(siteList, sites));
  {
    VolumeFiller filler(root + "filler.bin");
    ASSERT_TRUE(filler.Full());
    // Each option would change the file it finds ("-cu" one with the check on).
    const struct {
      const char* arguments;
      const std::string& text;
    } cases[] = {{"-cu+", options}, {"-cu", checkOn}, {"-lu 1700000000", options}, {"-ds+ https://b/", options},
                 {"-ds https://a/", options}};
    for (const auto& c : cases) {
      const char* arguments = c.arguments;
      ASSERT_TRUE(WriteTextFile(config, c.text));
      ProgramRun run = RunProgram(ControlPanelProgram(), arguments);
      EXPECT_EQ(WithoutCarriageReturns(run.output), "1\n") << arguments;
      EXPECT_EQ(run.exitCode, 1) << arguments;
      EXPECT_EQ(ReadTextFile(config), c.text) << arguments;
      EXPECT_EQ(ReadTextFile(siteList), sites) << arguments;
      EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"QFXDownloadSites.txt", "QuillframeConfig.ini"}))
          << arguments;
    }
  }
  // With room again the same options write as usual.
  ASSERT_TRUE(WriteTextFile(config, options));
  ProgramRun run = RunProgram(ControlPanelProgram(), "-cu+ -ds+ https://b/");
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_EQ(ReadTextFile(config), "[ComponentMgrOptions]\nCheckForUpdates = 1\nLastUpdateCheckTime = 77\n");
  EXPECT_EQ(ReadTextFile(siteList), "[Download Sites]\nsite = https://b/\nsite = https://a/\n[Other]\nk = v\n");
  RemovePath(folder);
}

}  // namespace
