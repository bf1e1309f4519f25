// "-dr": removing the resource cache.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/installed_player_test_win32.h"
#include "support/process_win32.h"

namespace {

using ResourceCacheOption = InstalledPlayerTest;

TEST_F(ResourceCacheOption, PrintsOneAfterRemovingTheCache) {
  ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"), "[DLL_Versions]\r\n"));
  ASSERT_TRUE(WriteTextFile(Component("Resources\\Media\\clip.bin"), "clip"));
  ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\n"));
  ProgramRun run = RunPanel("-dr");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(PathExists(Component("Resources")));
  EXPECT_TRUE(PathExists(Component("QuillframeConfig.ini")));
}

TEST_F(ResourceCacheOption, LeavesTheCodeWhenThereIsNothingToRemove) {
  ASSERT_TRUE(WriteTextFile(Component("Resources\\a.bin"), "a"));
  const struct {
    std::string arguments;
    std::string output;
  } cases[] = {
      {"-dr -dr", "1\n"},  // the second finds nothing and keeps the first's 1
      {"-dr", "0\n"},      // no "Resources" folder
  };
  for (const auto& c : cases) {
    ProgramRun run = RunPanel(c.arguments);
    EXPECT_EQ(run.output, c.output) << c.arguments;
  }
  ASSERT_TRUE(WriteTextFile(Component("Resources"), "a file"));
  EXPECT_EQ(RunPanel("-dr").output, "0\n");
  EXPECT_EQ(ReadTextFile(Component("Resources")), "a file");

  ASSERT_TRUE(player.SetComponentPath(player.Root() / "missing"));
  EXPECT_EQ(RunPanel("-dr").output, "0\n");
}

}  // namespace
