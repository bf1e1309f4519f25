// Several runs of the program at the same time, as installers, management
// agents and a person at the window make them: each change of the settings
// files and the uninstall waits for the one before it (the settings lock), a
// change that would wait too long fails and changes nothing, and a holder
// that ended without letting go blocks nobody.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "installation/installation.h"
#include "installation/settings_lock.h"
#include "support/fixtures_win32.h"
#include "support/folder_files_win32.h"
#include "support/panel_window_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

constexpr int ParallelRuns = 16;

// The values of the "site" lines of a site list in the writer's form.
std::multiset<std::string> SitesIn(const std::string& text) {
  std::multiset<std::string> sites;
  const std::string prefix = "site = ";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (line.compare(0, prefix.size(), prefix) == 0) sites.insert(line.substr(prefix.size()));
    start = end + 2;
  }
  return sites;
}

std::string Site(int n) { return "https://s" + std::to_string(n) + ".example/"; }

class ConcurrentChanges : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Install()); }
  std::string SitesFile() const { return player.ComponentFolder() + "\\QFXDownloadSites.txt"; }
  std::string OptionsFile() const { return player.ComponentFolder() + "\\QuillframeConfig.ini"; }
  PlayerInstallation player;
};

TEST_F(ConcurrentChanges, ParallelAdditionsKeepEverySite) {
  ASSERT_TRUE(WriteTextFile(SitesFile(), "[Download Sites]\r\nsite = " + Site(0) + "\r\n\r\n"));
  std::vector<std::string> argumentsList;
  std::multiset<std::string> expected = {Site(0)};
  for (int n = 1; n <= ParallelRuns; ++n) {
    argumentsList.push_back("-ds+ " + Site(n));
    expected.insert(Site(n));
  }
  std::vector<ProgramRun> runs = RunProgramsTogether(ControlPanelProgram(), argumentsList);
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_TRUE(runs[i].started);
    EXPECT_EQ(WithoutCarriageReturns(runs[i].output), "0\n") << argumentsList[i];
    EXPECT_EQ(runs[i].exitCode, 0) << argumentsList[i];
  }
  EXPECT_EQ(SitesIn(ReadTextFile(SitesFile())), expected);
  EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{"QFXDownloadSites.txt"});
}

TEST_F(ConcurrentChanges, ParallelOptionSwitchesLeaveAWholeValidFile) {
  const std::string before = "[Proxy]\r\nHost = proxy.example\r\n";
  const std::string after = "BroadcastKey = 1\r\n[Zones]\r\nzone = a\r\n\r\n";
  auto written = [&](const std::string& check, const std::string& time) {
    return before + "[ComponentMgrOptions]\r\nCheckForUpdates = " + check + "\r\nLastUpdateCheckTime = " + time +
           "\r\n" + after;
  };
  ASSERT_TRUE(WriteTextFile(OptionsFile(), written("0", "5")));
  std::vector<std::string> argumentsList;
  for (int n = 0; n < ParallelRuns; ++n) argumentsList.push_back(n % 2 ? "-cu+ -lu 6" : "-cu -lu 7");
  std::vector<ProgramRun> runs = RunProgramsTogether(ControlPanelProgram(), argumentsList);
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(WithoutCarriageReturns(runs[i].output), "0\n") << argumentsList[i];
    EXPECT_EQ(runs[i].exitCode, 0) << argumentsList[i];
  }
  // Whichever run came last, its two values stand together.
  const std::string file = ReadTextFile(OptionsFile());
  EXPECT_TRUE(file == written("1", "6") || file == written("0", "7")) << file;
  EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{"QuillframeConfig.ini"});
}

TEST_F(ConcurrentChanges, ParallelUninstallsAndEditsEndInOneOutcome) {
  // An edit that comes after the uninstall finds no player; one that comes
  // before is removed with it. Nothing is written into a folder being removed.
  ASSERT_TRUE(WriteTextFile(SitesFile(), "[Download Sites]\r\nsite = " + Site(0) + "\r\n\r\n"));
  std::vector<std::string> argumentsList = {"-u"};
  for (int n = 1; n < ParallelRuns / 2; ++n) argumentsList.push_back("-ds+ " + Site(n));
  argumentsList.push_back("-u");
  std::vector<ProgramRun> runs = RunProgramsTogether(ControlPanelProgram(), argumentsList);
  std::multiset<std::string> uninstallCodes;
  for (size_t i = 0; i < runs.size(); ++i) {
    std::string output = WithoutCarriageReturns(runs[i].output);
    if (argumentsList[i] == "-u") {
      uninstallCodes.insert(output);
    } else {
      EXPECT_EQ(output, "0\n") << argumentsList[i];
    }
  }
  EXPECT_EQ(uninstallCodes, (std::multiset<std::string>{"0\n", "1\n"}));  // the second finds no player
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
}

TEST_F(ConcurrentChanges, AHolderThatNeverLetsGoMakesEveryChangeFailAndChangeNothing) {
  const std::string sites = "[Download Sites]\r\nsite = " + Site(0) + "\r\n\r\n";
  const std::string options = "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\nLastUpdateCheckTime = 5\r\n\r\n";
  ASSERT_TRUE(WriteTextFile(SitesFile(), sites));
  ASSERT_TRUE(WriteTextFile(OptionsFile(), options));
  TempFolder logs, application;
  const std::string log = logs / "cp.log";
  const std::string recoveryLog = logs / "rcvr.log";
  // The recovery's installer, which records being started.
  ASSERT_TRUE(CopyFixture("QLXFullInstall.exe", application / "QLXFullInstall.exe"));
  ASSERT_TRUE(player.SetApplicationPath(application.Path()));
  HANDLE installerStarted = CreateEventA(nullptr, TRUE, FALSE, "CpanelInstallerStarted");
  ASSERT_NE(installerStarted, nullptr);
  SettingsLock holder;  // another program's change that never ends
  ASSERT_TRUE(holder.Held());
  const struct {
    std::string arguments;
    std::string output;
  } cases[] = {
      {"-ds+ " + Site(1), "1\n"}, {"-ds " + Site(0), "1\n"}, {"-cu+", "1\n"}, {"-cu", "1\n"},
      {"-lu 9", "1\n"},           {"-dsd", "-44\n"},         {"-u", "1\n"},
      // The same wait with a log, which says why the change gave up (one
      // wait of the lock's bound for all of them).
      {"/log \"" + log + "\" -cu+", "1\n"},
      // The recovery whose uninstall cannot run starts no installer: its
      // failure code, and the log says why.
      {"/log \"" + recoveryLog + "\" -rcvr", "0\n"},
  };
  std::vector<std::string> argumentsList;
  for (const auto& c : cases) argumentsList.push_back(c.arguments);
  // All wait at once, each for the lock's bound.
  std::vector<ProgramRun> runs = RunProgramsTogether(ControlPanelProgram(), argumentsList);
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_TRUE(runs[i].started);
    EXPECT_EQ(WithoutCarriageReturns(runs[i].output), cases[i].output) << cases[i].arguments;
  }
  const std::string logText = ReadTextFile(log);
  const size_t refusal = logText.find(
      "refused: the settings lock was not had within 10000 ms (another run is changing the installation)");
  EXPECT_NE(refusal, std::string::npos) << logText;
  EXPECT_NE(logText.find("result code 1", refusal), std::string::npos) << logText;
  const std::string recoveryText = ReadTextFile(recoveryLog);
  const size_t recoveryRefusal = recoveryText.find("did not start the installer: the uninstall could not run");
  EXPECT_NE(recoveryRefusal, std::string::npos) << recoveryText;
  EXPECT_NE(recoveryText.find("result code 0", recoveryRefusal), std::string::npos) << recoveryText;
  // The installer sets the event when it runs; the recovery returned before starting it.
  EXPECT_NE(WaitForSingleObject(installerStarted, 0), WAIT_OBJECT_0) << "no installer started";
  CloseHandle(installerStarted);
  EXPECT_EQ(ReadTextFile(SitesFile()), sites);
  EXPECT_EQ(ReadTextFile(OptionsFile()), options);
  EXPECT_EQ(FilesIn(player.ComponentFolder()), (std::vector<std::string>{"QFXDownloadSites.txt", "QuillframeConfig.ini"}));
  bool found = false;
  EXPECT_EQ(MachineString(PlayerKeyPath, ComponentPathValueName, &found), player.ComponentFolder());
  EXPECT_TRUE(found);
}

// A run that waits on a person holds no lock meanwhile: beside "-u"'s box
// about a library that cannot be loaded, an agent's change runs at once and
// succeeds, and the box is still there.
TEST_F(ConcurrentChanges, ARunBesideAnOpenBoxDoesNotWait) {
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", player.ComponentFolder() + "\\AxQuillframeOld.dll"));
  PanelWindowSession uninstall(ControlPanelProgram(), "-u");
  ASSERT_TRUE(uninstall.Started());
  PanelWindowSession::Box box = uninstall.WaitForBox();
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.seen.text, "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)");
  ProgramRun agent = RunProgram(ControlPanelProgram(), "/quiet -cu+");
  EXPECT_EQ(WithoutCarriageReturns(agent.output), "0\n") << "the agent's run had its turn at once";
  EXPECT_TRUE(IsWindow(box.window)) << "while the box was open";
  EXPECT_TRUE(AnswerBox(box.window, IDOK));
  int32_t exitCode = 0;
  ASSERT_TRUE(uninstall.WaitForExit(&exitCode));
  EXPECT_EQ(exitCode, 1);
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
}

// Takes the lock on a thread that ends without letting go, as a program that
// crashed while changing the settings.
DWORD WINAPI TakeAndEnd(void*) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, SettingsLockName);
  if (mutex) WaitForSingleObject(mutex, INFINITE);
  return 0;  // the handle stays open, the mutex is abandoned
}

TEST_F(ConcurrentChanges, AHolderThatEndedWithoutLettingGoBlocksNobody) {
  HANDLE thread = CreateThread(nullptr, 0, TakeAndEnd, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  ProgramRun run = RunProgram(ControlPanelProgram(), "-ds+ " + Site(1) + " -cu+");
  EXPECT_EQ(WithoutCarriageReturns(run.output), "1\n");  // no options file: "-cu+" fails, the site is added
  EXPECT_EQ(SitesIn(ReadTextFile(SitesFile())), std::multiset<std::string>{Site(1)});
  run = RunProgram(ControlPanelProgram(), "-ds+ " + Site(2));
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
}

}  // namespace
