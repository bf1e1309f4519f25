// "-u /msicodes": an uninstall that finishes at the next restart what another
// program holds open, as Windows installers do, and says so with 3010; the
// log and "/status" name what waits, and Wine's restart ("wineboot -r", which
// works through the pending-rename list) removes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "installation/installation.h"
#include "support/box_watcher_win32.h"
#include "support/fixtures_win32.h"
#include "support/held_file_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

constexpr uint32_t RestartTimeoutMs = 120000;

// Wine's restart in this prefix: it removes what the pending-rename list
// names, and ends once it has.
ProgramRun RestartWine() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return RunProgram(std::string(system) + "\\wineboot.exe", "-r", std::string(), RestartTimeoutMs);
}

// The JSON literal of a path, as "/status" writes it.
std::string JsonPath(std::string path) {
  std::string literal;
  for (char c : path) literal += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return "\"" + literal + "\"";
}

class RestartRemoval : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    ASSERT_TRUE(WriteTextFile(Component("QuillframeConfig.ini"), "[ComponentMgrOptions]\r\nCheckForUpdates=1\r\n"));
    ASSERT_TRUE(WriteTextFile(Component("Resources\\UpdateVersionList_v2.txt"), "[DLL_Versions]\r\n"));
    ASSERT_TRUE(CopyFixture("NoVersion.dll", Plugin()));
    ASSERT_TRUE(WriteTextFile(plugins / "NPOther.dll", "other"));
    ASSERT_TRUE(SetMachineString("SOFTWARE\\Netscape\\Netscape Navigator\\4.7\\Main", "Plugins Directory",
                                 plugins.Path()));
    // Another product's folder beside the player, in its install root.
    ASSERT_TRUE(WriteTextFile(player.Root() / "Other\\keep.txt", "keep"));
  }
  void TearDown() override { DeleteMachineKeyTree("SOFTWARE\\Netscape"); }
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }
  std::string Plugin() const { return plugins / "NPQuillframe3.dll"; }

  PlayerInstallation player;
  TempFolder plugins;
  TempFolder logs;
};

TEST_F(RestartRemoval, WhatIsInUseGoesAtTheNextRestart) {
  BoxWatcher watcher;
  const std::string log = logs / "uninstall.log";
  {
    HeldFile config(Component("QuillframeConfig.ini"), 0);
    HeldFile plugin(Plugin(), 0);
    ASSERT_TRUE(config.IsOpen());
    ASSERT_TRUE(plugin.IsOpen());
    ProgramRun run = RunPanel("-u /msicodes /quiet /log " + log);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "3010\n") << run.errors;
    EXPECT_EQ(run.exitCode, 3010);
    const std::string logged = ReadTextFile(log);
    for (const std::string& path :
         {Component("QuillframeConfig.ini"), player.ComponentFolder(), Plugin()})
      EXPECT_NE(logged.find("scheduled \"" + path + "\" for removal at restart"), std::string::npos)
          << path << "\n" << logged;
    EXPECT_EQ(logged.find("scheduled \"" + player.Root().Path() + "\""), std::string::npos)
        << "the install root holds another product's folder";
    EXPECT_FALSE(PathExists(Component("Resources"))) << "what is not in use goes now";
    EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));

    ProgramRun status = RunPanel("/status");
    EXPECT_EQ(status.exitCode, 0);
    for (const std::string& path : {Component("QuillframeConfig.ini"), player.ComponentFolder(), Plugin()})
      EXPECT_NE(status.output.find(JsonPath(path)), std::string::npos) << path << "\n" << status.output;
    EXPECT_NE(status.output.find("\"pendingRemoval\": ["), std::string::npos) << status.output;

    // Before the restart, a second uninstall has nothing to do but wait too.
    ProgramRun again = RunPanel("-u /msicodes");
    EXPECT_EQ(again.output, "3010\n") << again.errors;
    EXPECT_EQ(again.exitCode, 3010);
  }
  EXPECT_TRUE(watcher.Stop().empty());

  ProgramRun restart = RestartWine();
  ASSERT_TRUE(restart.started);
  ASSERT_TRUE(restart.ended);
  ProgramRun status = RunPanel("/status");
  EXPECT_EQ(status.output.find("pendingRemoval"), std::string::npos) << status.output;
  EXPECT_FALSE(PathExists(player.ComponentFolder()));
  EXPECT_FALSE(PathExists(Plugin()));
  EXPECT_EQ(ReadTextFile(plugins / "NPOther.dll"), "other");
  EXPECT_EQ(ReadTextFile(player.Root() / "Other\\keep.txt"), "keep");
  ProgramRun after = RunPanel("-u /msicodes");
  EXPECT_EQ(after.output, "1605\n") << "the player is gone";
}

TEST_F(RestartRemoval, WhatIfForetellsWhatWouldWaitForTheRestart) {
  HeldFile config(Component("QuillframeConfig.ini"), 0);
  HeldFile plugin(Plugin(), 0);
  ASSERT_TRUE(config.IsOpen());
  ASSERT_TRUE(plugin.IsOpen());
  ProgramRun run = RunPanel("/whatif -u /msicodes /quiet");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 3010) << run.output << run.errors;
  for (const std::string& path : {Component("QuillframeConfig.ini"), player.ComponentFolder(), Plugin()})
    EXPECT_NE(run.output.find("would schedule \"" + path + "\" for removal at restart"), std::string::npos)
        << path << "\n" << run.output;
  EXPECT_NE(run.output.find("would remove file \"" + Component("Resources\\UpdateVersionList_v2.txt") + "\""),
            std::string::npos)
      << "what is free would go now\n" << run.output;
  EXPECT_EQ(run.output.find("would schedule \"" + Component("Resources\\UpdateVersionList_v2.txt")), std::string::npos)
      << run.output;
  // Nothing changed.
  EXPECT_TRUE(PathExists(Component("Resources\\UpdateVersionList_v2.txt")));
  EXPECT_TRUE(PathExists(Plugin()));
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
  EXPECT_EQ(RunPanel("/status").output.find("pendingRemoval"), std::string::npos);
}

}  // namespace
