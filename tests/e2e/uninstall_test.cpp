// "-u": the uninstall without a window, its result codes and its effects.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/folder_files_win32.h"
#include "support/foreign_names_win32.h"
#include "support/held_file_win32.h"
#include "support/links_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/unregister_log_win32.h"

namespace {

// A player in root\Player with libraries in the folder and its subfolders,
// its settings and cache, and the beta value. A watcher answers any box, so
// that a fault fails the test instead of hanging it.
class UninstallOption : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("AxQuillframe3.dll")));
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("Components\\AxQuillframeCtl.dll")));
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("Plugins\\NotThePlayer.dll")));
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates=1\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"), "[DLL_Versions]\r\n"));
    ASSERT_TRUE(SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, "http://beta.example/"));
  }
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }

  UnregisterLog log;
  PlayerInstallation player;
};

TEST_F(UninstallOption, RemovesEverythingAndPrintsZero) {
  BoxWatcher watcher;
  ProgramRun run = RunPanel("-u");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(watcher.Stop().empty());
  std::vector<std::string> libraries = log.Libraries();
  std::sort(libraries.begin(), libraries.end());
  EXPECT_EQ(libraries, (std::vector<std::string>{"AxQuillframe3.dll", "AxQuillframeCtl.dll"}))
      << "each player library unregistered once, no other library";
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(PathExists(player.Root().Path()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));
}

// Every player library is found by its name as stored and unregistered
// before its folder goes: one whose name the ANSI code page cannot hold, and
// ones whose paths are longer than the 256 characters a program path keeps.
TEST_F(UninstallOption, UnregistersEveryLibraryWhateverItsNameOrPathLength) {
  if (CodePageHolds(L"\x03A9")) GTEST_SKIP() << "this code page holds the Greek capital omega";
  const std::string foreignName = "AxQuillframe\xCE\xA9.dll";  // "AxQuillframeΩ.dll"
  ASSERT_TRUE(CopyFileUtf8(FixturePath("PlayerControl.dll"), Component(foreignName)));
  std::vector<std::string> expected = {"AxQuillframe3.dll", "AxQuillframeCtl.dll", foreignName};
  for (const size_t pathLength : {size_t(257), size_t(259)}) {
    const std::string library = "AxQuillframe" + std::to_string(pathLength) + ".dll";
    const std::string folder = Component(std::to_string(pathLength)) + "\\";
    const std::string path = folder + std::string(pathLength - folder.size() - library.size() - 1, 'f') + "\\" + library;
    ASSERT_EQ(path.size(), pathLength);
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", path));
    expected.push_back(library);
  }
  ProgramRun run = RunPanel("-u");
  EXPECT_EQ(run.output, "0\n");
  std::vector<std::string> libraries = log.Libraries();
  std::sort(libraries.begin(), libraries.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(libraries, expected) << "each player library unregistered once";
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
}

TEST_F(UninstallOption, KeepsAnInstallRootWithAnotherProductsFiles) {
  ASSERT_TRUE(WriteTextFile(player.Root() / "Other Product\\settings.ini", "[Other]\r\n"));
  ASSERT_TRUE(MakeFolders(player.Root() / "Empty"));
  ProgramRun run = RunPanel("-u");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_EQ(ReadTextFile(player.Root() / "Other Product\\settings.ini"), "[Other]\r\n");
  EXPECT_TRUE(PathExists(player.Root() / "Empty"));
}

TEST_F(UninstallOption, ShowsOneBoxPerDamagedLibraryAndPrintsOne) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("AxQuillframeOld.dll")));
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("NewComponents\\axquillframeNew.dll")));
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("NewComponents\\Unrelated.dll")));
  BoxWatcher watcher;
  ProgramRun run = RunPanel("-u");
  std::vector<SeenBox> boxes = watcher.Stop();
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(boxes.size(), 2u);
  for (const SeenBox& box : boxes) {
    EXPECT_EQ(box.owner, 0u);
    EXPECT_EQ(box.buttons, "ok");
    EXPECT_EQ(box.caption, "Uninstall Failure");
    EXPECT_EQ(box.text, "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)");
  }
  EXPECT_EQ(log.Libraries().size(), 2u) << "the loadable libraries still unregistered";
  EXPECT_FALSE(PathExists(player.ComponentFolder())) << "the removal went on";
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));
}

// An unattended run: no box waits for a person; each is one line on standard
// error, and the result code is the same.
TEST_F(UninstallOption, AQuietRunShowsNoBoxAndWritesEachToStandardError) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("AxQuillframeOld.dll")));
  BoxWatcher watcher;
  ProgramRun run = RunPanel("/quiet -u");
  EXPECT_TRUE(watcher.Stop().empty()) << "no box";
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(WithoutCarriageReturns(run.errors),
            "Uninstall Failure: Could not Load ActiveX Component.  (Please Exit Netscape and/or Explorer)\n");
  EXPECT_FALSE(PathExists(player.ComponentFolder())) << "the removal went on";
}

TEST_F(UninstallOption, PrintsOneWithoutAPlayer) {
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "missing"));
  ProgramRun run = RunPanel("-u");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(PathExists(Component("AxQuillframe3.dll")));
  EXPECT_TRUE(log.Libraries().empty());

  DeleteMachineKeyTree(TechnologyKeyPath);
  run = RunPanel("-u");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
}

TEST_F(UninstallOption, NamesWhatIsLeft) {
  {
    // A file held open keeps the component folder.
    HeldFile held(Component("QuillframeConfig.ini"), 0);
    ASSERT_TRUE(held.IsOpen());
    ProgramRun run = RunPanel("-u");
    EXPECT_EQ(run.output, "-1\n");
    EXPECT_EQ(run.exitCode, -1);
  }
  // Another product's key below the technology key keeps it.
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(SetMachineString(std::string(TechnologyKeyPath) + "\\Other", "v", "x"));
  ProgramRun run = RunPanel("-u");
  EXPECT_EQ(run.output, "-3\n");
  EXPECT_EQ(run.exitCode, -3);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
}

TEST_F(UninstallOption, RemovesThePluginFromNetscapesPluginsFolders) {
  const std::string plugins = player.Root().Path() + "-plugins";
  struct Cleanup {
    std::string folder;
    ~Cleanup() {
      RemovePath(folder);
      DeleteMachineKeyTree("SOFTWARE\\Netscape");
    }
  } cleanup{plugins};
  ASSERT_TRUE(CopyFixture("NoVersion.dll", plugins + "\\4.7\\NPQuillframe3.dll"));
  ASSERT_TRUE(WriteTextFile(plugins + "\\4.7\\Quillframe3.class", "class"));
  ASSERT_TRUE(CopyFixture("NoVersion.dll", plugins + "\\6.2\\NPQuillframe3.dll"));
  ASSERT_TRUE(WriteTextFile(plugins + "\\6.2\\NPOther.dll", "other"));
  ASSERT_TRUE(SetMachineString("SOFTWARE\\Netscape\\Netscape Navigator\\4.7\\Main", "Plugins Directory",
                               plugins + "\\4.7"));
  ASSERT_TRUE(SetMachineString("SOFTWARE\\Netscape\\Netscape 6\\6.2\\Main", "Plugins Directory", plugins + "\\6.2"));
  ProgramRun run = RunPanel("-u");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_FALSE(PathExists(plugins + "\\4.7\\NPQuillframe3.dll"));
  EXPECT_FALSE(PathExists(plugins + "\\4.7\\Quillframe3.class"));
  EXPECT_FALSE(PathExists(plugins + "\\6.2\\NPQuillframe3.dll"));
  EXPECT_EQ(ReadTextFile(plugins + "\\6.2\\NPOther.dll"), "other");
}

// A "Component Path" longer than a path may be names no folder, not the one
// its first 256 characters name: that folder and its player library stay as
// they are, and "-u" finds no player.
TEST(UninstallOptionLongValue, AComponentPathLongerThanAPathNamesNoFolder) {
  PlayerInstallation player;
  UnregisterLog log;
  TempFolder other;
  const std::string cut = other / std::string(FixedPath::SetTextLimit - other.Path().size() - 1, 'c');
  ASSERT_EQ(cut.size(), FixedPath::SetTextLimit);
  const std::string extended = "\\\\?\\" + cut;
  ASSERT_TRUE(CreateDirectoryW(WideOfUtf8(extended.c_str()).c_str(), nullptr));
  ASSERT_TRUE(CopyFileUtf8(FixturePath("PlayerControl.dll"), extended + "\\AxQuillframe3.dll"));
  ASSERT_TRUE(WriteFileUtf8(extended + "\\notes.txt", "theirs"));
  ASSERT_TRUE(player.SetComponentPath(cut + "\\Player\\Comp"));
  // "/whatif" foretells it: nothing would change.
  ProgramRun foretold = RunPanel("/whatif -u");
  EXPECT_EQ(foretold.output, "would change nothing\n1\n");
  TempFolder logs;
  BoxWatcher watcher;
  ProgramRun run = RunPanel("/log " + (logs / "cp.log") + " -u");
  EXPECT_TRUE(watcher.Stop().empty());
  EXPECT_EQ(run.output, "1\n") << "no player";
  const std::string logText = ReadTextFile(logs / "cp.log");
  EXPECT_NE(logText.find("\"Component Path\" of HKLM\\Software\\Quillframe\\Quillframe3 names no folder: its 268 "
                         "characters do not fit a path of at most 256 (\"" + cut + "\\Player\\Comp\")"),
            std::string::npos)
      << logText;
  EXPECT_TRUE(log.Libraries().empty()) << "no library of the other folder unregistered";
  EXPECT_TRUE(ExistsUtf8(extended + "\\AxQuillframe3.dll"));
  EXPECT_EQ(ReadFileUtf8(extended + "\\notes.txt"), "theirs");
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << "nothing was changed";
}

// A "Component Path" that names a volume root, or leads to one, or names the
// Windows folder: the uninstall removes nothing and reports a failure. (A
// component folder inside a volume root uninstalls, and the root stays:
// uninstall_leftovers_test.cpp.)
TEST(UninstallOptionProtection, NeverRemovesAVolumeRoot) {
  PlayerInstallation player;
  UnregisterLog log;
  TempFolder volume;  // a small folder of the test's own, mapped as a drive
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", volume / "Player\\AxQuillframe3.dll"));
  ASSERT_TRUE(WriteTextFile(volume / "Player\\QuillframeConfig.ini", "[ComponentMgrOptions]\r\n"));
  ASSERT_TRUE(WriteTextFile(volume / "top.txt", "top"));
  ASSERT_TRUE(WriteTextFile(volume / "Documents\\letter.txt", "letter"));
  DriveMapping drive(volume.Path());
  ASSERT_TRUE(drive.Mapped()) << "no drive letter could be mapped";
  const std::string root = drive.Root();
  for (const std::string& componentPath : {root, root + "Player\\..", root + "Documents\\.."}) {
    ASSERT_TRUE(player.SetComponentPath(componentPath));
    ASSERT_TRUE(SetMachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, "http://beta.example/"));
    BoxWatcher watcher;
    ProgramRun run = RunProgram(ControlPanelProgram(), "-u");
    EXPECT_TRUE(watcher.Stop().empty()) << componentPath;
    EXPECT_EQ(WithoutCarriageReturns(run.output), "-1\n") << componentPath;
    EXPECT_EQ(run.exitCode, -1) << componentPath;
    bool found = false;
    MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found);
    EXPECT_TRUE(found) << componentPath << ": nothing changed, the registry neither";
  }
  EXPECT_TRUE(log.Libraries().empty());
  EXPECT_EQ(ReadTextFile(volume / "top.txt"), "top");
  EXPECT_EQ(ReadTextFile(volume / "Documents\\letter.txt"), "letter");
  EXPECT_TRUE(PathExists(volume / "Player\\AxQuillframe3.dll"));
  EXPECT_TRUE(PathExists(volume / "Player\\QuillframeConfig.ini"));
}

// The Windows folder, a folder inside it, and the shared "Program Files":
// nothing in them is removed, and the player's keys stay.
TEST(UninstallOptionProtection, NeverRemovesTheWindowsFolder) {
  PlayerInstallation player;
  char windows[MAX_PATH];
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::string windowsFolder(windows, length);
  char programFiles[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles), S_OK);
  const std::string drivers = windowsFolder + "\\system32\\drivers";
  const std::vector<std::string> driversBefore = FilesIn(drivers);
  const std::vector<std::string> programFilesBefore = FilesIn(programFiles);
  ASSERT_FALSE(driversBefore.empty());
  ASSERT_FALSE(programFilesBefore.empty());
  for (const std::string& componentPath :
       {windowsFolder, windowsFolder + "\\system32\\..", drivers, std::string(programFiles)}) {
    ASSERT_TRUE(player.SetComponentPath(componentPath));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-u");
    EXPECT_EQ(WithoutCarriageReturns(run.output), "-1\n") << componentPath;
    EXPECT_EQ(run.exitCode, -1) << componentPath;
    EXPECT_TRUE(MachineKeyExists(PlayerKeyPath)) << componentPath;
  }
  EXPECT_EQ(FilesIn(drivers), driversBefore);
  EXPECT_EQ(FilesIn(programFiles), programFilesBefore);
  EXPECT_TRUE(PathExists(windowsFolder + "\\system32"));
  EXPECT_TRUE(PathExists(windowsFolder + "\\win.ini"));
}

}  // namespace
