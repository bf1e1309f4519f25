// "/msicodes": every option that changes the installation gives the codes
// deployment tools read without being told (0, 3010, 1605, 1618, 1603, 1639),
// in the states that tell them apart; without the switch each option gives
// its own codes, as it always has.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installation/installation.h"
#include "installation/settings_lock.h"
#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/installed_player_test_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

constexpr const char* Switch = " /msicodes";

// One option's line in one state: what it prints without the switch, and
// with it.
struct CodeCase {
  std::string arguments;
  std::string ownCode;
  std::string standardCode;
};

class StandardCodes : public InstalledPlayerTest {
 protected:
  void SetUp() override {
    InstalledPlayerTest::SetUp();
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"),
                              "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 7\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("QFXDownloadSites.txt"), "[Download Sites]\r\nsite = https://a.example/\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"), "[Fragments]\r\n"));
    ASSERT_TRUE(WriteTextFile(list / "versions.txt", "[DLL_Versions]\r\n"));
  }

  // Runs each case once without the switch and once with it, one after the
  // other, and compares what each prints.
  void ExpectCodes(const std::vector<CodeCase>& cases) {
    for (const CodeCase& c : cases) {
      EXPECT_EQ(RunPanel(c.arguments).output, c.ownCode) << c.arguments;
      EXPECT_EQ(RunPanel(c.arguments + Switch).output, c.standardCode) << c.arguments << Switch;
    }
  }

  TempFolder list;
};

TEST_F(StandardCodes, WithoutAPlayerTheOptionsHaveNothingToActOn) {
  DeleteMachineKeyTree(TechnologyKeyPath);
  ExpectCodes({
      {"/quiet -u", "1\n", "1605\n"},
      {"/quiet -rcvr", "1\n", "1605\n"},
      {"/quiet -r", "1\n", "1605\n"},
      {"/quiet -dr", "0\n", "1605\n"},
      {"/quiet -dsd", "0\n", "1605\n"},
      {"/quiet -ds+ https://b.example/", "0\n", "1605\n"},
      {"/quiet -ds https://a.example/", "0\n", "1605\n"},
      {"/quiet -cu+", "0\n", "1605\n"},
      {"/quiet -cu", "0\n", "1605\n"},
      {"/quiet -lu 9", "0\n", "1605\n"},
      {"/quiet -cu+ -dr", "0\n", "1605\n"},
      // The options that report keep their own codes.
      {"/quiet -v \"" + list / "versions.txt" + "\"", "-1\n", "-1\n"},
      {"/quiet -ip", "", ""},
  });
}

TEST_F(StandardCodes, AFileThatCannotBeWrittenIsAFailure) {
  HeldFile config(Component("QuillframeConfig.ini"), 0);
  HeldFile sites(Component("QFXDownloadSites.txt"), 0);
  HeldFile cache(Component("Resources\\UpdateVersionList_v2.txt"), 0);
  ASSERT_TRUE(config.IsOpen() && sites.IsOpen() && cache.IsOpen());
  ExpectCodes({
      {"/quiet -cu+", "1\n", "1603\n"},
      {"/quiet -cu", "1\n", "1603\n"},
      {"/quiet -lu 9", "1\n", "1603\n"},
      {"/quiet -ds+ https://b.example/", "1\n", "1603\n"},
      {"/quiet -ds https://a.example/", "1\n", "1603\n"},
      {"/quiet -dsd", "-44\n", "1603\n"},
      // "-dr" leaves the code as it was when its removal fails.
      {"/quiet -dr", "0\n", "1603\n"},
      // A failure outranks what else the line did.
      {"/quiet -r+ -cu+", "1\n", "1603\n"},
  });
}

TEST_F(StandardCodes, AnotherRunsChangeIsToBeTriedAgain) {
  TempFolder application;  // where "-rcvr" would find its installer
  ASSERT_TRUE(player.SetApplicationPath(application.Path()));
  SettingsLock holder;  // another program's change that never ends
  ASSERT_TRUE(holder.Held());
  const std::vector<CodeCase> cases = {
      {"/quiet -u", "1\n", "1618\n"},
      {"/quiet -rcvr", "0\n", "1618\n"},
      {"/quiet -dsd", "-44\n", "1618\n"},
      {"/quiet -ds+ https://b.example/", "1\n", "1618\n"},
      {"/quiet -ds https://a.example/", "1\n", "1618\n"},
      {"/quiet -cu+", "1\n", "1618\n"},
      {"/quiet -cu", "1\n", "1618\n"},
      {"/quiet -lu 9", "1\n", "1618\n"},
      // Busy outranks done.
      {"/quiet -r+ -cu+", "1\n", "1618\n"},
  };
  std::vector<std::string> argumentsList;
  for (const CodeCase& c : cases) {
    argumentsList.push_back(c.arguments);
    argumentsList.push_back(c.arguments + Switch);
  }
  // All wait at once, each for the lock's bound.
  const std::vector<ProgramRun> runs = RunProgramsTogether(ControlPanelProgram(), argumentsList);
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(WithoutCarriageReturns(runs[2 * i].output), cases[i].ownCode) << cases[i].arguments;
    EXPECT_EQ(WithoutCarriageReturns(runs[2 * i + 1].output), cases[i].standardCode) << cases[i].arguments << Switch;
  }
}

TEST_F(StandardCodes, ARefusedLineGivesTheInstallersRefusal) {
  ExpectCodes({
      {"/quiet -u stray", "-1639\n", "1639\n"},
      {"/quiet -cu+ /log", "-1639\n", "1639\n"},  // "/log" takes no switch for its file
      {"/quiet /status -u", "-1639\n", "1639\n"},
  });
  ProgramRun refused = RunPanel("/quiet -u stray /msicodes");
  EXPECT_EQ(refused.exitCode, 1639);
  EXPECT_TRUE(PathExists(player.ComponentFolder())) << "nothing ran";
}

TEST_F(StandardCodes, DoneIsZeroAndTheLastCodeIsNotTheRunsWord) {
  ExpectCodes({
      {"/quiet -cu+", "0\n", "0\n"},
      {"/quiet -r", "1\n", "0\n"},  // not in the beta: nothing needed doing
      {"/quiet -r+ -r", "0\n", "0\n"},
      {"/quiet -dr", "1\n", "0\n"},
      {"/quiet -dr", "0\n", "0\n"},  // nothing left to remove
  });
  EXPECT_EQ(RunPanel("/quiet -u /msicodes").output, "0\n");
}

}  // namespace
