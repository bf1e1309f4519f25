#include "settings/manager_options.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_values.h"
#include "support/held_file_win32.h"
#include "support/path_of.h"
#include "support/player_installation_win32.h"
#include "support/temp_folder_win32.h"

namespace {

const std::string options =
    "[Other]\r\nCheckForUpdates = 7\r\n[ComponentMgrOptions]\r\nCheckForUpdates=0\r\n"
    "LastUpdateCheckTime   =   99\r\nBroadcastKey = 1\r\n";

// Only the value of the key changes, wherever its line is and however the
// file is marked.
TEST(SetProfileValueTest, ChangesOnlyTheValueOfTheKey) {
  const struct {
    std::string before;
    bool readOnly;
    std::string after;
  } cases[] = {
      {options, false,
       "[Other]\r\nCheckForUpdates = 7\r\n[ComponentMgrOptions]\r\nCheckForUpdates=1\r\n"
       "LastUpdateCheckTime   =   99\r\nBroadcastKey = 1\r\n"},
      // A last line without its line end.
      {"[ComponentMgrOptions]\nCheckForUpdates = 0", false, "[ComponentMgrOptions]\nCheckForUpdates = 1"},
      // A read-only file is replaced.
      {"[ComponentMgrOptions]\nCheckForUpdates = 0\n", true, "[ComponentMgrOptions]\nCheckForUpdates = 1\n"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder / "QuillframeConfig.ini";
    ASSERT_TRUE(WriteTextFile(path, c.before));
    if (c.readOnly) ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(SetProfileValue(PathOf(path), "ComponentMgrOptions", "CheckForUpdates", "1", false)) << c.before;
    EXPECT_EQ(ReadTextFile(path), c.after) << c.before;
  }
}

TEST(SetProfileValueTest, AddsNothingAndLeavesTheFileAlone) {
  const struct {
    const char* section;
    const char* key;
  } cases[] = {
      {"ComponentMgrOptions", "Missing"},
      {"componentmgroptions", "CheckForUpdates"},
      {"ComponentMgrOptions", "checkforupdates"},
      {"Missing", "CheckForUpdates"},
  };
  for (const auto& c : cases) {
    for (bool mayCreate : {false, true}) {
      TempFolder folder;
      const std::string path = folder / "QuillframeConfig.ini";
      ASSERT_TRUE(WriteTextFile(path, options));
      EXPECT_FALSE(SetProfileValue(PathOf(path), c.section, c.key, "1", mayCreate)) << c.section << " " << c.key;
      EXPECT_EQ(ReadTextFile(path), options) << c.section << " " << c.key;
    }
  }
}

TEST(SetProfileValueTest, AMissingFileIsNeverMade) {
  TempFolder folder;
  const std::string path = folder / "QuillframeConfig.ini";
  for (bool mayCreate : {false, true}) {
    EXPECT_FALSE(SetProfileValue(PathOf(path), "ComponentMgrOptions", "CheckForUpdates", "1", mayCreate));
    EXPECT_FALSE(PathExists(path));
  }
}

TEST(SetProfileValueTest, AFailedWriteIsReportedAndLeavesTheFileAsItWas) {
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    TempFolder folder;
    const std::string path = folder / "QuillframeConfig.ini";
    ASSERT_TRUE(WriteTextFile(path, options));
    {
      HeldFile holder(path, share);
      ASSERT_TRUE(holder.IsOpen());
      EXPECT_FALSE(SetProfileValue(PathOf(path), "ComponentMgrOptions", "CheckForUpdates", "1", true)) << share;
    }
    EXPECT_EQ(ReadTextFile(path), options) << share;
  }
}

class ManagerOptionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Install()); }
  std::string File() const { return player.ComponentFolder() + "\\QuillframeConfig.ini"; }
  PlayerInstallation player;
};

TEST_F(ManagerOptionTest, SetsTheKeysOfTheComponentFolder) {
  ASSERT_TRUE(WriteTextFile(File(), "[ComponentMgrOptions]\nCheckForUpdates = 1\nLastUpdateCheckTime = 0\n"));
  EXPECT_TRUE(SetUpdateCheck(false));
  EXPECT_TRUE(SetLastUpdateCheckTime("20240131"));
  EXPECT_EQ(ReadTextFile(File()), "[ComponentMgrOptions]\nCheckForUpdates = 0\nLastUpdateCheckTime = 20240131\n");
  EXPECT_TRUE(SetUpdateCheck(true));
  EXPECT_EQ(ReadTextFile(File()), "[ComponentMgrOptions]\nCheckForUpdates = 1\nLastUpdateCheckTime = 20240131\n");
}

TEST_F(ManagerOptionTest, AMissingFileOrKeyIsAFailure) {
  EXPECT_FALSE(SetUpdateCheck(true));
  EXPECT_FALSE(PathExists(File()));
  ASSERT_TRUE(WriteTextFile(File(), "[ComponentMgrOptions]\nBroadcastKey = 1\n"));
  EXPECT_FALSE(SetManagerOption("CheckForUpdates", "1"));
  EXPECT_EQ(ReadTextFile(File()), "[ComponentMgrOptions]\nBroadcastKey = 1\n");
}

TEST_F(ManagerOptionTest, WithoutAComponentFolderThereIsNothingToChange) {
  ASSERT_TRUE(WriteTextFile(File(), "[ComponentMgrOptions]\nCheckForUpdates = 0\n"));
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "elsewhere"));
  EXPECT_TRUE(SetUpdateCheck(true));
  EXPECT_TRUE(SetLastUpdateCheckTime("5"));
  EXPECT_EQ(ReadTextFile(File()), "[ComponentMgrOptions]\nCheckForUpdates = 0\n");
}

}  // namespace
