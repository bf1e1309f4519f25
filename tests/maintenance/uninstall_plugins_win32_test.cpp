#include "maintenance/uninstall_plugins.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "maintenance/installation_locations.h"
#include "support/links_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"
#include "support/unregister_log_win32.h"

namespace {

constexpr const char* NetscapeKey = "SOFTWARE\\Netscape";

class NetscapePluginsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteMachineKeyTree(NetscapeKey);
    DeleteMachineKeyTree(TechnologyKeyPath);
  }
  void TearDown() override {
    DeleteMachineKeyTree(NetscapeKey);
    DeleteMachineKeyTree(TechnologyKeyPath);
  }

  // A plug-ins folder holding the player's two plug-in files and one other.
  std::string PluginsFolder(const std::string& name) {
    const std::string folder = root / name;
    EXPECT_TRUE(CopyFixture("NoVersion.dll", folder + "\\NPQuillframe3.dll"));
    EXPECT_TRUE(WriteTextFile(folder + "\\Quillframe3.class", "class"));
    EXPECT_TRUE(WriteTextFile(folder + "\\NPOther.dll", "other"));
    return folder;
  }
  static bool HasPlugin(const std::string& folder) {
    return PathExists(folder + "\\NPQuillframe3.dll") || PathExists(folder + "\\Quillframe3.class");
  }
  static bool SetPluginsDirectory(const std::string& key, const std::string& folder) {
    return SetMachineString(std::string(NetscapeKey) + "\\" + key, "Plugins Directory", folder);
  }

  TempFolder root;
};

TEST_F(NetscapePluginsTest, RemovesThePluginFromEveryLeafKeysFolder) {
  const std::string navigator408 = PluginsFolder("Navigator 4.08");
  const std::string navigator47 = PluginsFolder("Navigator 4.7");
  const std::string communicator = PluginsFolder("Communicator");
  const std::string notALeaf = PluginsFolder("Not a leaf");
  ASSERT_TRUE(SetPluginsDirectory("Netscape Navigator\\4.08 (en)\\Main", navigator408));
  ASSERT_TRUE(SetPluginsDirectory("Netscape Navigator\\4.7 (en)\\Main", navigator47 + "\\"));
  ASSERT_TRUE(SetPluginsDirectory("Communicator", communicator));
  // A key with subkeys is not read itself.
  ASSERT_TRUE(SetPluginsDirectory("Netscape Navigator\\4.7 (en)", notALeaf));
  ASSERT_TRUE(SetMachineString(std::string(NetscapeKey) + "\\Netscape Navigator\\4.7 (en)\\Bookmarks", "x", "y"));
  // Leaf keys without a folder, or naming a folder without the plug-in.
  ASSERT_TRUE(SetMachineString(std::string(NetscapeKey) + "\\Netscape 6\\6.2", "CurrentVersion", "6.2"));
  ASSERT_TRUE(SetPluginsDirectory("Mozilla", root / "No plug-in here"));

  EXPECT_TRUE(RemoveNetscapePlugins());
  for (const std::string& folder : {navigator408, navigator47, communicator}) {
    EXPECT_FALSE(HasPlugin(folder)) << folder;
    EXPECT_EQ(ReadTextFile(folder + "\\NPOther.dll"), "other") << folder;
  }
  EXPECT_TRUE(PathExists(notALeaf + "\\NPQuillframe3.dll"));
  EXPECT_TRUE(PathExists(notALeaf + "\\Quillframe3.class"));
}

TEST_F(NetscapePluginsTest, RemovesThePlayerKeyWhenAPluginsFolderIsFound) {
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, "C:\\Player"));
  EXPECT_TRUE(RemoveNetscapePlugins());
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << "no Netscape keys: nothing to do";

  ASSERT_TRUE(SetPluginsDirectory("Navigator\\Main", PluginsFolder("Plugins")));
  EXPECT_TRUE(RemoveNetscapePlugins());
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  EXPECT_TRUE(MachineKeyExists(TechnologyKeyPath)) << "only the player key goes here";
}

TEST_F(NetscapePluginsTest, ReleasesAPluginThisProcessHasLoaded) {
  const std::string folder = PluginsFolder("Plugins");
  ASSERT_TRUE(SetPluginsDirectory("Navigator\\Main", folder));
  const std::string plugin = folder + "\\NPQuillframe3.dll";
  ASSERT_NE(LoadLibraryA(plugin.c_str()), nullptr);
  EXPECT_TRUE(RemoveNetscapePlugins());
  EXPECT_EQ(GetModuleHandleA(plugin.c_str()), nullptr);
  EXPECT_FALSE(HasPlugin(folder));
}

TEST_F(NetscapePluginsTest, AnEmptyFolderValueNamesNoFolder) {
  // "\NPQuillframe3.dll" would be the root of the current drive: a drive of
  // the test's own holds the files there, and they must stay.
  TempFolder volume;
  ASSERT_TRUE(CopyFixture("NoVersion.dll", volume / "NPQuillframe3.dll"));
  ASSERT_TRUE(WriteTextFile(volume / "Quillframe3.class", "class"));
  DriveMapping drive(volume.Path());
  ASSERT_TRUE(drive.Mapped()) << "no drive letter could be mapped";
  ASSERT_TRUE(SetPluginsDirectory("Navigator\\Main", ""));
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, "C:\\Player"));

  char previous[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(drive.Root().c_str()));
  EXPECT_TRUE(RemoveNetscapePlugins());
  SetCurrentDirectoryA(previous);

  EXPECT_TRUE(PathExists(volume / "NPQuillframe3.dll"));
  EXPECT_TRUE(PathExists(volume / "Quillframe3.class"));
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << "no folder was found";
}

TEST_F(NetscapePluginsTest, AFolderValueTooLongForItsBufferIsPassedOver) {
  const std::string folder = PluginsFolder("Plugins");
  std::string longValue = folder;
  while (longValue.size() < 300) longValue += "\\.";
  ASSERT_TRUE(SetPluginsDirectory("Navigator\\Main", longValue));
  ASSERT_TRUE(SetPluginsDirectory("Communicator", folder));
  EXPECT_TRUE(RemoveNetscapePlugins());
  EXPECT_FALSE(HasPlugin(folder)) << "the walk went on to the next key";
}

}  // namespace
