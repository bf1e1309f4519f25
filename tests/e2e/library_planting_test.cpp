// Libraries planted beside the program and in the current folder, named
// after the system libraries it uses, are never loaded: every option runs
// under Wine's native-first load order for those names (the order Windows
// uses for a library that is not one of its known ones), with copies of
// PlantedLibrary.dll that record being loaded in both folders. Wine 8.0 is
// the loader here; on Windows the same order holds for these libraries.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "inventory/installed_components.h"
#include "shell/main_window_win32.h"
#include "support/box_watcher_win32.h"
#include "support/control_panel_copy_win32.h"
#include "support/fixtures_win32.h"
#include "support/panel_window_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/temp_folder_win32.h"
#include "support/toolkit_windows_win32.h"
#include "support/unregister_log_win32.h"

namespace {

// The system libraries the program uses outside kernel32, advapi32 and the C
// runtime (which every process has), and the library of the player's stand-in.
const char* const PlantedNames[] = {"version.dll", "shell32.dll", "user32.dll", "comctl32.dll",
                                    "gdi32.dll",   "winmm.dll",   "PlayerHelper.dll"};
// Wine's load order for one program, by its file name: native first for
// every planted name, as Windows looks for a library that is not a known one.
// Wine reads it from the registry when a process starts (the environment
// variable WINEDLLOVERRIDES of a Windows program does not reach the programs
// it starts).
class NativeFirstOrder {
 public:
  explicit NativeFirstOrder(const std::string& programName)
      : programKey_("Software\\Wine\\AppDefaults\\" + programName) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (programKey_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    static const char order[] = "native,builtin";
    set_ = true;
    for (const char* name : PlantedNames) {
      std::string library(name, strlen(name) - 4);  // without ".dll"
      set_ = RegSetValueExA(key, library.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order) ==
                 ERROR_SUCCESS &&
             set_;
    }
    RegCloseKey(key);
  }
  ~NativeFirstOrder() {
    RegDeleteTreeA(HKEY_CURRENT_USER, programKey_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, programKey_.c_str());
  }
  bool Set() const { return set_; }

 private:
  std::string programKey_;
  bool set_ = false;
};

// Sets an environment variable of this process, and so of the programs it
// starts, for one scope, and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    char old[1024];
    DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = length > 0 && length < sizeof old;
    if (had_) old_.assign(old, length);
    SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// A run of the program from a copy of it, with planted libraries beside the
// copy and in a current folder of its own, and a record of those loaded.
class PlantedFolders {
 public:
  bool Plant() {
    if (!program_.Ready()) return false;
    for (const char* name : PlantedNames) {
      if (!CopyFixture("PlantedLibrary.dll", program_.Beside(name)) ||
          !CopyFixture("PlantedLibrary.dll", current_ / name))
        return false;
    }
    return true;
  }
  const ControlPanelCopy& Program() const { return program_; }
  const TempFolder& CurrentFolder() const { return current_; }

  // Runs the program named programName beside the copy (ControlPanel.exe
  // unless given) with arguments under the native-first order.
  ProgramRun Run(const std::string& arguments, const std::string& programName = "ControlPanel.exe") {
    NativeFirstOrder order(programName);
    if (!order.Set()) return ProgramRun();
    ScopedEnvironment log(PlantedLogVariable, LogFile());
    ProgramRun run = RunProgram(program_.Beside(programName), arguments, current_.Path());
    run.output = WithoutCarriageReturns(run.output);
    return run;
  }
  // Where the planted copies record being loaded (named by the environment
  // variable PlantedLogVariable of the program).
  std::string LogFile() const { return log_ / "planted.log"; }
  static constexpr const char* PlantedLogVariable = "CPANEL_PLANTED_LOG";
  // The planted copies that were loaded, one path a line, in lower case (the
  // loader writes the name as the importer spells it).
  std::string Loaded() const {
    std::string paths = ReadTextFile(LogFile());
    CharLowerBuffA(&paths[0], static_cast<DWORD>(paths.size()));
    return paths;
  }

 private:
  ControlPanelCopy program_;
  TempFolder current_;
  TempFolder log_;
};

// One command line and what it must give with the installation of the test.
struct PlantingCase {
  const char* name;
  const char* arguments;  // "{component}" stands for the component folder
  const char* output;     // likewise
  int32_t exitCode;
};

std::string Expand(std::string text, const std::string& componentFolder) {
  const std::string mark = "{component}";
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark))
    text.replace(at, mark.size(), componentFolder);
  return text;
}

class LibraryPlanting : public testing::TestWithParam<PlantingCase> {
 protected:
  // A player with a versioned library, two of the player's libraries (one
  // with a dependency beside it), its settings, sites and cache, a version
  // list in the current folder, and an installer.
  void SetUp() override {
    ASSERT_TRUE(planted.Plant());
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(CopyFixture("VersionSpaced.dll", Component("QFXCodec.dll")));
    ASSERT_TRUE(CopyFixture("PlayerControl.dll", Component("AxQuillframe3.dll")));
    ASSERT_TRUE(CopyFixture("PlayerControlWithHelper.dll", Component("Components\\AxQuillframeExtra.dll")));
    ASSERT_TRUE(CopyFixture("PlayerHelper.dll", Component("Components\\PlayerHelper.dll")));
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"),
                              "[ComponentMgrOptions]\r\nCheckForUpdates=1\r\nLastUpdateCheckTime=0\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("QFXDownloadSites.txt"), "[Sites]\r\nSite1=http://one.example/\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"), "[DLL_Versions]\r\n"));
    ASSERT_TRUE(WriteTextFile(planted.CurrentFolder() / "versions.txt",
                              "[DLL_Versions]\r\nDLL=QFXCodec\r\nVersion=3.0.1.27\r\n"));
    ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", installer / "QLXFullInstall.exe"));
    ASSERT_TRUE(player.SetApplicationPath(installer.Path()));
  }
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }

  UnregisterLog unregistered;
  PlayerInstallation player;
  TempFolder installer;
  PlantedFolders planted;
};

// The copies record being loaded, and a program that imports the version
// library the ordinary way runs the one beside it: the test would see the
// fault it guards against.
TEST(LibraryPlantingCheck, PlantedCopiesRecordBeingLoadedBesideAnOrdinaryProgram) {
  PlantedFolders planted;
  ASSERT_TRUE(planted.Plant());
  ASSERT_TRUE(CopyFixture("VersionImporter.exe", planted.Program().Beside("VersionImporter.exe")));
  ProgramRun run = planted.Run("C:\\windows\\system32\\kernel32.dll", "VersionImporter.exe");
  ASSERT_TRUE(run.started);
  std::string plantedBeside = planted.Program().Beside("version.dll");
  CharLowerBuffA(&plantedBeside[0], static_cast<DWORD>(plantedBeside.size()));
  EXPECT_NE(planted.Loaded().find(plantedBeside), std::string::npos) << planted.Loaded();
}

TEST_P(LibraryPlanting, NoPlantedLibraryIsLoadedAndTheOptionGivesItsResult) {
  const PlantingCase& c = GetParam();
  BoxWatcher watcher;  // the uninstall's boxes show user32 at work
  ProgramRun run = planted.Run(Expand(c.arguments, player.ComponentFolder()));
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, Expand(c.output, player.ComponentFolder()));
  EXPECT_EQ(run.exitCode, c.exitCode);
  EXPECT_EQ(planted.Loaded(), "") << "planted libraries were loaded";
}

// "-u" unregisters both of the player's libraries, the one that needs its
// helper beside it too, and shows one box for the damaged one.
TEST_F(LibraryPlanting, UninstallLoadsThePlayersLibrariesWithTheirDependencies) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", Component("AxQuillframeOld.dll")));
  BoxWatcher watcher;
  ProgramRun run = planted.Run("-u");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, "1\n");
  std::vector<SeenBox> boxes = watcher.Stop();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Uninstall Failure");
  std::vector<std::string> libraries = unregistered.Libraries();
  EXPECT_EQ(libraries.size(), 2u);
  for (const char* name : {"AxQuillframe3.dll", "AxQuillframeExtra.dll"})
    EXPECT_NE(std::find(libraries.begin(), libraries.end(), name), libraries.end()) << name;
  EXPECT_EQ(planted.Loaded(), "") << "planted libraries were loaded";
}

// The window mode: the main window and the installed-components window,
// opened, used and closed as a person would.
TEST_F(LibraryPlanting, TheWindowsLoadNoPlantedLibrary) {
  Watchdog watchdog(120000);
  NativeFirstOrder order("ControlPanel.exe");
  ASSERT_TRUE(order.Set());
  ScopedEnvironment log(PlantedFolders::PlantedLogVariable, planted.LogFile());
  PanelWindowSession session(planted.Program().Program(), std::string(), planted.CurrentFolder().Path());
  HWND main = session.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(ClickControl(main, ListComponentsCommandId));
  HWND components = session.WaitForWindow(InstalledComponentsTitle);
  ASSERT_NE(components, nullptr);
  RequestClose(components);
  ASSERT_TRUE(session.WaitForWindowGone(InstalledComponentsTitle));
  ASSERT_TRUE(ClickControl(main, CacheCommandId));
  PanelWindowSession::Box box = session.WaitForBox();
  EXPECT_EQ(box.seen.text, "Resource folder deleted sucessfully.");
  AnswerBox(box.window, IDOK);
  ASSERT_TRUE(ClickControl(main, OkCommandId));
  int32_t exitCode = -1;
  ASSERT_TRUE(session.WaitForExit(&exitCode));
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(planted.Loaded(), "") << "planted libraries were loaded";
}

// Every option once, with the results the installation of the fixture gives.
const PlantingCase PlantingCases[] = {
    {"InstallPath", "-ip", "\"{component}\"", -998},
    {"Uninstall", "-u", "0\n", 0},
    {"Recover", "-rcvr", "1\n", 1},
    {"JoinAndLeaveBeta", "-r+ -r", "0\n", 0},
    {"DeleteResources", "-dr", "1\n", 1},
    {"DeleteSiteList", "-dsd", "0\n", 0},
    {"AddAndRemoveSite", "-ds+ http://two.example/ -ds http://two.example/", "0\n", 0},
    {"VerifyFromTheCurrentFolder", "-v versions.txt", "0\n", 0},
    {"UpdateCheck", "-cu+ -cu", "0\n", 0},
    {"LastUpdate", "-lu 12345", "0\n", 0},
    {"WhatIfCache", "/whatif -dr", "would remove folder \"{component}\\Resources\"\n1\n", 1},
};

INSTANTIATE_TEST_SUITE_P(EveryOption, LibraryPlanting, testing::ValuesIn(PlantingCases),
                         [](const testing::TestParamInfo<PlantingCase>& info) { return info.param.name; });

}  // namespace
