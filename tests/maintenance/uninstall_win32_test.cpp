#include "maintenance/uninstall.h"
#include "maintenance/uninstall_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/links_win32.h"
#include "support/path_of.h"
#include "support/player_installation_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"
#include "support/toolkit_windows_win32.h"
#include "support/unregister_log_win32.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

const char* const LoadFailureText = "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)";

// A player installed in root\Player: three player libraries in the folder and
// its subfolders, a library of another name and a few other files, and the
// beta value in the player key. Boxes are answered; the test is bounded.
class UninstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("AxQuillframe3.dll")));
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("Components\\axquillframeCtl.dll")));
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("NewComponents\\AXQUILLFRAME_X.DLL")));
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("Plugins\\Other.dll")));
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("Resources\\cache.bin"), "cache"));
    ASSERT_TRUE(SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, "http://beta.example/"));
  }

  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }
  FixedPath ComponentFolder() const { return PathOf(player.ComponentFolder()); }
  bool BetaValueLeft() const {
    bool found = false;
    MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found);
    return found;
  }

  Watchdog watchdog_{90000};
  UnregisterLog log;
  PlayerInstallation player;
};

TEST_F(UninstallTest, RemovesEverythingOfThePlayer) {
  BoxWatcher watcher;
  EXPECT_TRUE(UninstallPlayer(nullptr, ComponentFolder()));
  EXPECT_TRUE(watcher.Stop().empty());
  EXPECT_EQ(Sorted(log.Libraries()),
            Sorted({"AxQuillframe3.dll", "axquillframeCtl.dll", "AXQUILLFRAME_X.DLL"}));
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(PathExists(player.Root().Path())) << "the install root held nothing else";
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));

  FixedPath folder = ComponentFolder();
  EXPECT_EQ(VerifyUninstall(folder), NothingLeft);
  EXPECT_EQ(std::string(folder.Text()), player.Root().Path() + "\\") << "the check moves to the install root";
}

TEST_F(UninstallTest, AcceptsAComponentFolderEndingInABackslash) {
  EXPECT_TRUE(UninstallPlayer(nullptr, PathOf(player.ComponentFolder() + "\\")));
  EXPECT_FALSE(PathExists(player.Root().Path()));
}

TEST_F(UninstallTest, KeepsAnInstallRootThatHoldsOtherFiles) {
  ASSERT_TRUE(WriteTextFile(player.Root() / "Other Product\\data.txt", "keep me"));
  EXPECT_TRUE(UninstallPlayer(nullptr, ComponentFolder()));
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_EQ(ReadTextFile(player.Root() / "Other Product\\data.txt"), "keep me");
  FixedPath folder = ComponentFolder();
  EXPECT_EQ(VerifyUninstall(folder), NothingLeft) << "an install root with files is not reported";
}

TEST_F(UninstallTest, RemovesAnInstallRootLeftWithEmptyFoldersOnly) {
  ASSERT_TRUE(MakeFolders(player.Root() / "Empty\\Deeper"));
  EXPECT_TRUE(UninstallPlayer(nullptr, ComponentFolder()));
  EXPECT_FALSE(PathExists(player.Root().Path()));
}

TEST_F(UninstallTest, ReportsEachLibraryThatCannotBeLoadedAndGoesOn) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("Components\\AxQuillframeBroken.dll")));
  HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  BoxWatcher watcher;
  EXPECT_FALSE(UninstallPlayer(owner, ComponentFolder()));
  std::vector<SeenBox> boxes = watcher.Stop();
  DestroyWindow(owner);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, reinterpret_cast<uintptr_t>(owner));
  EXPECT_EQ(boxes[0].buttons, "ok");
  EXPECT_EQ(boxes[0].caption, "Uninstall Failure");
  EXPECT_EQ(boxes[0].text, LoadFailureText);
  EXPECT_EQ(log.Libraries().size(), 3u) << "the other libraries still unregistered";
  EXPECT_FALSE(PathExists(player.Root().Path())) << "the removal went on";
  FixedPath folder = ComponentFolder();
  EXPECT_EQ(UninstallOutcome(false, VerifyUninstall(folder)), UninstallStepFailed);
}

TEST_F(UninstallTest, AFolderThatCannotBeRemovedFailsAndIsFoundByTheCheck) {
  BoxWatcher watcher;
  {
    HeldFile held(Component("QuillframeConfig.ini"), 0);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(UninstallPlayer(nullptr, ComponentFolder()));
  }
  EXPECT_TRUE(watcher.Stop().empty());
  EXPECT_TRUE(PathExists(Component("QuillframeConfig.ini")));
  EXPECT_TRUE(PathExists(player.Root().Path()));
  // The keys stay, so that the uninstall can be run again.
  bool found = false;
  EXPECT_EQ(MachineString(PlayerKeyPath, ComponentPathValueName, &found), player.ComponentFolder());
  EXPECT_TRUE(found);
  FixedPath folder = ComponentFolder();
  EXPECT_EQ(VerifyUninstall(folder), ComponentFolderLeft);
  EXPECT_TRUE(UninstallPlayer(nullptr, ComponentFolder())) << "once the file is free";
  EXPECT_FALSE(PathExists(player.Root().Path()));
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));
}

TEST_F(UninstallTest, DoesNothingWithoutAComponentFolder) {
  const std::string cases[] = {player.Root() / "missing", Component("QuillframeConfig.ini"), ""};
  for (const std::string& folder : cases) {
    EXPECT_FALSE(UninstallPlayer(nullptr, PathOf(folder))) << folder;
    EXPECT_TRUE(BetaValueLeft()) << folder;
    EXPECT_TRUE(PathExists(Component("AxQuillframe3.dll"))) << folder;
  }
  EXPECT_TRUE(log.Libraries().empty());
}

// Protection of volume roots and the Windows folder: nothing at all changes.
class ProtectedUninstallTest : public UninstallTest {
 protected:
  void ExpectRefused(const std::string& componentFolder) {
    EXPECT_FALSE(UninstallPlayer(nullptr, PathOf(componentFolder))) << componentFolder;
    EXPECT_TRUE(log.Libraries().empty()) << componentFolder;
    EXPECT_TRUE(BetaValueLeft()) << componentFolder;
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << componentFolder;
  }
};

TEST_F(ProtectedUninstallTest, NeverRemovesAVolumeRoot) {
  // The drive is a folder of the test's own, mapped to a free letter.
  TempFolder volume;
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", volume / "Player\\AxQuillframe3.dll"));
  ASSERT_TRUE(WriteTextFile(volume / "top.txt", "top"));
  ASSERT_TRUE(WriteTextFile(volume / "Other\\data.txt", "data"));
  DriveMapping drive(volume.Path());
  ASSERT_TRUE(drive.Mapped()) << "no drive letter could be mapped";
  const std::string root = drive.Root();  // "V:\"
  const std::string cases[] = {
      root,                           // the root itself
      root.substr(0, 2),              // "V:"
      root + "Player\\..",            // the root by way of the folder
      root + "Player\\Sub\\..\\..",
  };
  for (const std::string& folder : cases) ExpectRefused(folder);
  EXPECT_EQ(ReadTextFile(volume / "top.txt"), "top");
  EXPECT_EQ(ReadTextFile(volume / "Other\\data.txt"), "data");
  EXPECT_TRUE(PathExists(volume / "Player\\AxQuillframe3.dll"));
  // A component folder straight in the root goes; the root stays as it is,
  // in every spelling of the folder.
  for (const std::string& folder : {root + "Player", root + "Player\\", root + "Player\\.", root + "Other\\..\\Player"}) {
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", volume / "Player\\AxQuillframe3.dll"));
    EXPECT_TRUE(UninstallPlayer(nullptr, PathOf(folder))) << folder;
    EXPECT_FALSE(PathExists(volume / "Player")) << folder;
    EXPECT_EQ(ReadTextFile(volume / "top.txt"), "top") << folder;
    EXPECT_EQ(ReadTextFile(volume / "Other\\data.txt"), "data") << folder;
    FixedPath left = PathOf(folder);
    EXPECT_NE(VerifyUninstall(left), InstallRootLeft) << folder;
  }
}

TEST_F(ProtectedUninstallTest, NeverRemovesTheWindowsFolder) {
  char windows[MAX_PATH];
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::string windowsFolder(windows, length);
  ExpectRefused(windowsFolder);
  ExpectRefused(windowsFolder + "\\");
  ExpectRefused(windowsFolder + "\\system32\\..");
  ExpectRefused(windowsFolder + "\\system32");
  ExpectRefused(windowsFolder + "\\system32\\drivers");
  // A player installed right inside the Windows folder, or deeper in it.
  const std::string inside = windowsFolder + "\\CpanelUninstallTest";
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", inside + "\\Quillframe3\\AxQuillframe3.dll"));
  ExpectRefused(inside);
  ExpectRefused(inside + "\\Quillframe3");
  EXPECT_TRUE(PathExists(inside + "\\Quillframe3\\AxQuillframe3.dll"));
  RemovePath(inside);
  EXPECT_TRUE(PathExists(windowsFolder + "\\system32\\drivers"));
}

TEST_F(ProtectedUninstallTest, NeverRemovesASharedFolder) {
  char programFiles[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles), S_OK);
  char profile[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile), S_OK);
  const std::vector<std::string> before = FilesIn(programFiles);
  ExpectRefused(programFiles);
  ExpectRefused(profile);
  // A player right inside "Program Files": it goes, and its install root,
  // "Program Files", stays without being reported as left behind.
  const std::string player = std::string(programFiles) + "\\CpanelUninstallTest";
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", player + "\\AxQuillframe3.dll"));
  EXPECT_TRUE(UninstallPlayer(nullptr, PathOf(player)));
  EXPECT_FALSE(PathExists(player));
  RemovePath(player);
  EXPECT_EQ(FilesIn(programFiles), before);
  FixedPath left = PathOf(player);
  EXPECT_NE(VerifyUninstall(left), InstallRootLeft);
}

// The usual installation, "Program Files\Quillframe\Quillframe3", goes whole.
TEST_F(UninstallTest, RemovesAPlayerInstalledInProgramFiles) {
  char programFiles[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles), S_OK);
  const std::string root = std::string(programFiles) + "\\CpanelUninstallTest";
  const std::string folder = root + "\\Quillframe3";
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", folder + "\\AxQuillframe3.dll"));
  ASSERT_TRUE(WriteTextFile(folder + "\\Resources\\cache.bin", "cache"));
  BoxWatcher watcher;
  const bool removed = UninstallPlayer(nullptr, PathOf(folder));
  const bool rootLeft = PathExists(root);
  RemovePath(root);
  EXPECT_TRUE(removed);
  EXPECT_TRUE(watcher.Stop().empty());
  EXPECT_EQ(log.Libraries(), std::vector<std::string>{"AxQuillframe3.dll"});
  EXPECT_FALSE(rootLeft);
  EXPECT_TRUE(PathExists(programFiles));
}

class VerifyUninstallTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteMachineKeyTree(TechnologyKeyPath); }
  void TearDown() override { DeleteMachineKeyTree(TechnologyKeyPath); }
  TempFolder root;
};

TEST_F(VerifyUninstallTest, NamesWhatIsLeftInOrder) {
  const std::string component = root / "Player";
  const struct {
    const char* what;
    bool componentFolder;
    bool rootFile;
    bool technologyKey;
    int32_t code;
  } cases[] = {
      {"everything left", true, true, true, ComponentFolderLeft},
      {"the component folder", true, false, false, ComponentFolderLeft},
      {"an install root without files, and the key", false, false, true, InstallRootLeft},
      {"the key", false, true, true, TechnologyKeyLeft},
      {"nothing but another product's file", false, true, false, NothingLeft},
  };
  for (const auto& c : cases) {
    RemovePath(component);
    RemovePath(root / "other.txt");
    DeleteMachineKeyTree(TechnologyKeyPath);
    if (c.componentFolder) ASSERT_TRUE(MakeFolders(component));
    if (c.rootFile) ASSERT_TRUE(WriteTextFile(root / "other.txt", "x"));
    if (c.technologyKey) ASSERT_TRUE(SetMachineString(TechnologyKeyPath, "", ""));
    FixedPath folder = PathOf(component);
    EXPECT_EQ(VerifyUninstall(folder), c.code) << c.what;
  }
}

TEST_F(VerifyUninstallTest, FindsTheInstallRootWithOrWithoutATrailingBackslash) {
  for (const std::string& component : {root / "Player", root / "Player\\"}) {
    FixedPath folder = PathOf(component);
    EXPECT_EQ(VerifyUninstall(folder), InstallRootLeft) << component;
    EXPECT_EQ(std::string(folder.Text()), root.Path() + "\\") << component;
  }
}

TEST_F(VerifyUninstallTest, NothingLeftWhenTheInstallRootIsGoneToo) {
  FixedPath folder = PathOf(root / "Gone\\Player");
  EXPECT_EQ(VerifyUninstall(folder), NothingLeft);
}

}  // namespace

// The uninstall as the option "-u" runs it.

namespace {

class UninstallOptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", player.ComponentFolder() + "\\AxQuillframe3.dll"));
  }

  Watchdog watchdog_{90000};
  UnregisterLog log;
  PlayerInstallation player;
};

TEST_F(UninstallOptionTest, TheOptionGivesTheOutcome) {
  BoxWatcher watcher;
  EXPECT_EQ(RunUninstallOption(), 0);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_EQ(RunUninstallOption(), NoPlayerCode) << "nothing left to uninstall";
  EXPECT_TRUE(watcher.Stop().empty());
}

TEST_F(UninstallOptionTest, TheOptionShowsItsFailureBoxesWithoutOwner) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", player.ComponentFolder() + "\\AxQuillframeBroken.dll"));
  BoxWatcher watcher;
  EXPECT_EQ(RunUninstallOption(), 1);
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, 0u);
  EXPECT_EQ(boxes[0].caption, "Uninstall Failure");
}

}  // namespace

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

// The player key names the component folder until the uninstall has removed
// it: the walk removes plug-in files only.
TEST_F(NetscapePluginsTest, KeepsThePlayerKeyWhenAPluginsFolderIsFound) {
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, "C:\\Player"));
  const std::string folder = PluginsFolder("Plugins");
  ASSERT_TRUE(SetPluginsDirectory("Navigator\\Main", folder));
  EXPECT_TRUE(RemoveNetscapePlugins());
  EXPECT_FALSE(HasPlugin(folder));
  bool found = false;
  EXPECT_EQ(MachineString(PlayerKeyPath, ComponentPathValueName, &found), "C:\\Player");
  EXPECT_TRUE(found);
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
