#include "maintenance/resource_cache.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/held_file_win32.h"
#include "support/path_of.h"
#include "support/player_installation_win32.h"
#include "support/temp_folder_win32.h"

namespace {

class ResourceCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\n"));
  }
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }

  PlayerInstallation player;
};

TEST_F(ResourceCacheTest, RemovesTheCacheWithEverythingInIt) {
  ASSERT_TRUE(WriteTextFile(Component("Resources\\a.bin"), "a"));
  ASSERT_TRUE(WriteTextFile(Component("Resources\\Sub\\Deeper\\b.bin"), "b"));
  ASSERT_TRUE(SetFileAttributesA(Component("Resources\\a.bin").c_str(), FILE_ATTRIBUTE_READONLY));
  for (const std::string& folder : {player.ComponentFolder(), player.ComponentFolder() + "\\"}) {
    ASSERT_TRUE(MakeFolders(Component("Resources\\Empty")));
    EXPECT_EQ(RemoveResourceCache(PathOf(folder)), CacheOutcome::Removed) << folder;
    EXPECT_FALSE(PathExists(Component("Resources"))) << folder;
  }
  EXPECT_TRUE(PathExists(Component("QuillframeConfig.ini")));
}

TEST_F(ResourceCacheTest, FindsNoCacheWhenResourcesIsMissingOrAFile) {
  EXPECT_EQ(RemoveResourceCache(PathOf(player.ComponentFolder())), CacheOutcome::NotFound);
  ASSERT_TRUE(WriteTextFile(Component("Resources"), "a file"));
  EXPECT_EQ(RemoveResourceCache(PathOf(player.ComponentFolder())), CacheOutcome::NotFound);
  EXPECT_EQ(ReadTextFile(Component("Resources")), "a file");
}

TEST_F(ResourceCacheTest, ACacheThatCannotBeRemovedStaysInPart) {
  ASSERT_TRUE(WriteTextFile(Component("Resources\\held.bin"), "held"));
  ASSERT_TRUE(WriteTextFile(Component("Resources\\free.bin"), "free"));
  {
    HeldFile held(Component("Resources\\held.bin"), 0);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_EQ(RemoveResourceCache(PathOf(player.ComponentFolder())), CacheOutcome::NotRemoved);
  }
  EXPECT_TRUE(PathExists(Component("Resources\\held.bin")));
  EXPECT_FALSE(PathExists(Component("Resources\\free.bin")));
  EXPECT_EQ(RemoveResourceCache(PathOf(player.ComponentFolder())), CacheOutcome::Removed) << "again: the rest";
}

TEST_F(ResourceCacheTest, AComponentPathTooLongForTheCacheNameRemovesNothing) {
  // The path names the component folder in 256 characters; with "Resources"
  // it would not fit, and the cut path would name the component folder.
  ASSERT_TRUE(WriteTextFile(Component("Resources\\a.bin"), "a"));
  std::string folder = player.ComponentFolder();
  while (folder.size() + 2 <= FixedPath::SetTextLimit) folder += "\\.";
  EXPECT_EQ(RemoveResourceCache(PathOf(folder)), CacheOutcome::NotFound);
  EXPECT_TRUE(PathExists(Component("QuillframeConfig.ini")));
  EXPECT_TRUE(PathExists(Component("Resources\\a.bin")));
}

}  // namespace
