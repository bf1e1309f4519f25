// The result-code convention of the program as a whole: what is printed and
// the exit code, for command lines of every shape.
#include <gtest/gtest.h>

#include <string>

#include "shell/command_line.h"
#include "support/control_panel_copy_win32.h"
#include "support/panel_window_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/toolkit_windows_win32.h"

namespace {

TEST(CommandLine, PrintsTheResultCodeAndEndsWithIt) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  const std::string quotedFolder = "\"" + player.ComponentFolder() + "\"";
  const struct {
    std::string arguments;
    std::string output;
    int32_t exitCode;
  } cases[] = {
      {"hello", "0\n", 0},
      {"-IP", "0\n", 0},
      {"-v", "-2\n", -2},
      {"-lu", "0\n", 0},
      {"-ds", "0\n", 0},
      {"\"-ip\"", quotedFolder, -998},
      {"   -ip   ", quotedFolder, -998},
      {"xx-ipyy", quotedFolder, -998},
      {"-ip -dsd", quotedFolder, -998},  // no list to delete: "-dsd" leaves -998
      {"-dsd -ip", quotedFolder, -998},
      // A token longer than the token buffer is cut: an option at its start
      // is seen, one beyond the cut is not.
      {"-ip" + std::string(4000, 'x'), quotedFolder, -998},
      {std::string(4000, 'x') + "-ip", "0\n", 0},
  };
  for (const auto& c : cases) {
    ProgramRun run = RunProgram(ControlPanelProgram(), c.arguments);
    ASSERT_TRUE(run.started) << c.arguments.substr(0, 40);
    EXPECT_EQ(WithoutCarriageReturns(run.output), c.output) << c.arguments.substr(0, 40);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.substr(0, 40);
  }
}

TEST(CommandLine, AnOptionWhoseArgumentWasCutFailsAndChangesNothing) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  const std::string sites = player.ComponentFolder() + "\\QFXDownloadSites.txt";
  const std::string options = player.ComponentFolder() + "\\QuillframeConfig.ini";
  const std::string sitesText = "[Download Sites]\r\nsite = https://a/\r\n\r\n";
  const std::string optionsText = "[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\nLastUpdateCheckTime = 7\r\n\r\n";
  const std::string longSite = "https://s.example/" + std::string(3000, 'p');
  const std::string longName = player.ComponentFolder() + "\\" + std::string(3000, 'n');
  const struct {
    std::string arguments;
    int32_t code;
  } cases[] = {
      {"-ds+ " + longSite, 1},
      {"-ds " + longSite, 1},
      {"-lu " + std::string(2100, '9'), 1},
      {"-v " + longName, -3},
      {"-ds+ \"" + longSite + "\"", 1},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(sites, sitesText));
    ASSERT_TRUE(WriteTextFile(options, optionsText));
    ProgramRun run = RunProgram(ControlPanelProgram(), c.arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(WithoutCarriageReturns(run.output), std::to_string(c.code) + "\n") << c.arguments.substr(0, 40);
    EXPECT_EQ(run.exitCode, c.code) << c.arguments.substr(0, 40);
    EXPECT_EQ(ReadTextFile(sites), sitesText) << c.arguments.substr(0, 40);
    EXPECT_EQ(ReadTextFile(options), optionsText) << c.arguments.substr(0, 40);
  }
}

// The usage text names every option of the dispatcher's table with its
// argument, and the switches; nothing else of the command line runs.
TEST(CommandLine, TheUsageTextListsEveryOptionAndRunsNothing) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(MakeFolders(player.ComponentFolder() + "\\Resources"));
  for (const char* arguments : {"/?", "/help", "-dr /HELP"}) {
    ProgramRun run = RunProgram(ControlPanelProgram(), arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0) << arguments;
    const std::string usage = WithoutCarriageReturns(run.output);
    for (const OptionRow& row : OptionTable) {
      const std::string name = std::string(row.text) + (row.argument ? std::string(" ") + row.argument : "");
      EXPECT_NE(usage.find("\n  " + name + " "), std::string::npos) << arguments << ": " << name;
    }
    for (const char* text : {"/?", "/help", "/quiet"}) EXPECT_NE(usage.find(text), std::string::npos) << text;
  }
  EXPECT_TRUE(PathExists(player.ComponentFolder() + "\\Resources")) << "-dr did not run";
}

// A quiet run without options opens no window: it prints 0 and ends.
TEST(CommandLine, AQuietRunWithoutOptionsPrintsZero) {
  ProgramRun run = RunProgram(ControlPanelProgram(), "/quiet", std::string(), 20000);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_EQ(run.exitCode, 0);
}

TEST(CommandLine, NoTokenOpensWindowModeAndEndsWithZero) {
  Watchdog watchdog(120000);
  ControlPanelCopy copy;  // window mode writes its settings beside the program
  ASSERT_TRUE(copy.Ready());
  for (const char* arguments : {"", "    ", "\"\"", "\"\" -ip"}) {
    PanelWindowSession session(copy.Program(), arguments);
    ASSERT_TRUE(session.Started()) << arguments;
    HWND window = session.WaitForMainWindow();
    ASSERT_NE(window, nullptr) << arguments;
    EXPECT_TRUE(RequestClose(window));
    int32_t exitCode = -1;
    EXPECT_TRUE(session.WaitForExit(&exitCode)) << arguments;
    EXPECT_EQ(exitCode, 0) << arguments;
  }
}

}  // namespace
