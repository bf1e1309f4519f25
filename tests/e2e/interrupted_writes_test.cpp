// Runs of the program ended at random moments while they change the settings
// files, as a management agent's timeout or a shutdown ends them: every file
// is always whole, the old one or the new one, and the next change removes
// the temporary files that the ended runs left in the component folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"

namespace {

constexpr int Rounds = 16;

const std::string OldSites = "; mirrors below\r\n[Download Sites]\r\nsite = https://a/\r\n";
const std::string NewSites = "; mirrors below\r\n[Download Sites]\r\nsite = https://k/\r\nsite = https://a/\r\n";
std::string Options(const char* check, const char* time) {
  return std::string("; managed by IT\r\n[ComponentMgrOptions]\r\nCheckForUpdates = ") + check +
         "\r\nLastUpdateCheckTime = " + time + "\r\n\r\n[Proxy]\r\nHost=proxy.corp\r\n";
}

bool IsTemporaryFile(const std::string& name) { return name.compare(0, 3, "~pf") == 0; }

TEST(InterruptedWrites, FilesStayWholeAndTheNextWriteClearsWhatWasLeft) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  const std::string sites = player.ComponentFolder() + "\\QFXDownloadSites.txt";
  const std::string options = player.ComponentFolder() + "\\QuillframeConfig.ini";
  // The states a run passes through, option by option.
  const std::vector<std::string> optionStates = {Options("1", "5"), Options("0", "5"), Options("0", "7")};
  // The moments fall within the time a whole run takes here.
  ASSERT_TRUE(WriteTextFile(sites, OldSites));
  ASSERT_TRUE(WriteTextFile(options, optionStates[0]));
  const DWORD start = GetTickCount();
  RunProgram(ControlPanelProgram(), "-ds+ https://k/ -cu -lu 7");
  const int wholeRunMs = static_cast<int>(GetTickCount() - start);
  ASSERT_EQ(ReadTextFile(sites), NewSites);
  ASSERT_EQ(ReadTextFile(options), optionStates[2]);
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> moment(0, wholeRunMs);
  int leftBehind = 0;
  for (int round = 0; round < Rounds; ++round) {
    ASSERT_TRUE(WriteTextFile(sites, OldSites));
    ASSERT_TRUE(WriteTextFile(options, optionStates[0]));
    const int killAfterMs = moment(random);
    RunProgram(ControlPanelProgram(), "-ds+ https://k/ -cu -lu 7", std::string(), killAfterMs);
    const std::string sitesNow = ReadTextFile(sites);
    EXPECT_TRUE(sitesNow == OldSites || sitesNow == NewSites) << "ended after " << killAfterMs << " ms: " << sitesNow;
    const std::string optionsNow = ReadTextFile(options);
    EXPECT_NE(std::find(optionStates.begin(), optionStates.end(), optionsNow), optionStates.end())
        << "ended after " << killAfterMs << " ms: " << optionsNow;
    for (const std::string& name : FilesIn(player.ComponentFolder())) leftBehind += IsTemporaryFile(name);
  }
  RecordProperty("temporary files left by ended runs", leftBehind);

  // What a writer ended between making its file and moving it into place
  // leaves, whether or not one of the runs above was ended just then.
  ASSERT_TRUE(WriteTextFile(player.ComponentFolder() + "\\~pf0BADF00D.tmp", "[Download Sites]\r\nsite = htt"));
  ProgramRun run = RunProgram(ControlPanelProgram(), "-cu+");
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  for (const std::string& name : FilesIn(player.ComponentFolder()))
    EXPECT_FALSE(IsTemporaryFile(name)) << name << " is left after the next write";
}

}  // namespace
