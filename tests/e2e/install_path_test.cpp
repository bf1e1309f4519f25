// "-ip": the install path printed in double quotes, exit code -998.
#include <gtest/gtest.h>

#include "foundation/core/paths.h"
#include "installation/installation.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/registry_win32.h"

namespace {

TEST(InstallPathOption, PrintsTheComponentFolderInQuotesWithoutALineEnd) {
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  ProgramRun run = RunProgram(ControlPanelProgram(), "-ip");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, "\"" + player.ComponentFolder() + "\"");
  EXPECT_EQ(run.exitCode, -998);
}

TEST(InstallPathOption, PrintsNothingWithoutAComponentFolder) {
  PlayerInstallation player;
  ASSERT_TRUE(WriteTextFile(player.Root() / "a-file", "x"));
  const struct {
    const char* what;
    bool setValue;
    std::string value;
  } cases[] = {
      {"no player key", false, ""},
      {"a folder that does not exist", true, player.Root() / "missing"},
      {"a file", true, player.Root() / "a-file"},
      {"an empty value", true, ""},
  };
  for (const auto& c : cases) {
    if (c.setValue) ASSERT_TRUE(player.SetComponentPath(c.value));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-ip");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "") << c.what;
    EXPECT_EQ(run.exitCode, -998) << c.what;
  }
}

TEST(InstallPathOption, AValueLongerThanAPathNamesNoFolder) {
  // Both values name the folder ("\." steps), but only one that fits a path
  // whole (256 characters) is used and printed; a longer one names no folder
  // and prints nothing.
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  std::string fits = player.ComponentFolder();
  while (fits.size() + 2 <= FixedPath::SetTextLimit) fits += "\\.";
  if (fits.size() < FixedPath::SetTextLimit) fits += "\\";
  ASSERT_EQ(fits.size(), FixedPath::SetTextLimit);
  const std::string longer = fits + (fits.back() == '\\' ? "." : "\\.");
  const struct {
    std::string value;
    std::string output;
  } cases[] = {{fits, "\"" + fits + "\""}, {longer, ""}};
  for (const auto& c : cases) {
    ASSERT_TRUE(player.SetComponentPath(c.value));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-ip");
    EXPECT_EQ(run.output, c.output) << c.value.size();
    EXPECT_EQ(run.exitCode, -998);
  }
}

TEST(InstallPathOption, AnExpandableComponentPathCountsAndIsUsed) {
  // Installers often store paths as REG_EXPAND_SZ: a literal path, and one
  // with an environment reference, both name the component folder.
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(SetEnvironmentVariableA("CPANEL_TEST_ROOT", player.Root().Path().c_str()));
  for (const std::string& stored : {player.ComponentFolder(), std::string("%CPANEL_TEST_ROOT%\\Player")}) {
    ASSERT_TRUE(SetRawMachineValue(PlayerKeyPath, ComponentPathValueName, REG_EXPAND_SZ, stored));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-ip");
    EXPECT_EQ(run.output, "\"" + player.ComponentFolder() + "\"") << stored;
    EXPECT_EQ(run.exitCode, -998);
    run = RunProgram(ControlPanelProgram(), "-ds+ https://a/");
    EXPECT_EQ(run.exitCode, 0) << stored;
    EXPECT_TRUE(PathExists(player.ComponentFolder() + "\\QFXDownloadSites.txt")) << stored;
    RemovePath(player.ComponentFolder() + "\\QFXDownloadSites.txt");
  }
  SetEnvironmentVariableA("CPANEL_TEST_ROOT", nullptr);
}

}  // namespace
