// "-v": the installed components verified against a version-list file, with
// real libraries and their version resources.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "support/fixtures_win32.h"
#include "support/navigator_keys_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"

namespace {

std::string ListOf(const std::string& pairs) { return "[DLL_Versions]\r\n" + pairs; }

std::string Pair(const std::string& name, const std::string& version) {
  return "DLL = " + name + "\r\nVersion = " + version + "\r\n";
}

class VerifyOption : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player_.Install()); }

  std::string Folder() const { return player_.ComponentFolder(); }
  std::string ListFile() const { return player_.Root() / "list.txt"; }

  // Copies a fixture library to path, making its folders.
  static bool Put(const std::string& fixture, const std::string& path) {
    return MakeFolders(path.substr(0, path.find_last_of('\\'))) &&
           CopyFileA(FixturePath(fixture).c_str(), path.c_str(), FALSE);
  }

  // Runs "-v" with the list file and expects code, printed and as exit code.
  void ExpectCode(const std::string& list, int32_t code, const std::string& what) {
    ASSERT_TRUE(WriteTextFile(ListFile(), list));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-v " + ListFile());
    ASSERT_TRUE(run.started) << what;
    EXPECT_EQ(WithoutCarriageReturns(run.output), std::to_string(code) + "\n") << what;
    EXPECT_EQ(run.exitCode, code) << what;
  }

  PlayerInstallation player_;
  NavigatorKeys navigator_;
};

TEST_F(VerifyOption, ComparesTheExactVersionText) {
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\NpQuillframe3.dll"));  // "3, 0, 1, 27"
  const struct {
    const char* what;
    std::string list;
    int32_t code;
  } cases[] = {
      {"the listed version", ListOf(Pair("NpQuillframe3", "3.0.1.27")), 0},
      {"another version", ListOf(Pair("NpQuillframe3", "3.0.1.28")), 1},
      {"the comma form", ListOf(Pair("NpQuillframe3", "3, 0, 1, 27")), 1},
      {"a leading zero", ListOf(Pair("NpQuillframe3", "3.0.01.27")), 1},
      {"a piece of the name", ListOf(Pair("Quillframe3.d", "3.0.1.27")), 0},
      {"the name in other case", ListOf(Pair("NPQUILLFRAME3", "3.0.1.27")), 1},
      {"a library that is not there", ListOf(Pair("QFXCodec", "3.0.1.27")), 1},
  };
  for (const auto& c : cases) ExpectCode(c.list, c.code, c.what);
}

TEST_F(VerifyOption, AWrongVersionOfTheLibraryFails) {
  ASSERT_TRUE(Put("VersionNext.dll", Folder() + "\\NpQuillframe3.dll"));  // "3, 0, 1, 28"
  ExpectCode(ListOf(Pair("NpQuillframe3", "3.0.1.27")), 1, "3.0.1.28 installed");
}

TEST_F(VerifyOption, ReportsTheFirstFailingOfThreePairs) {
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\QFXCore.dll"));
  ASSERT_TRUE(Put("VersionNext.dll", Folder() + "\\Components\\QFXCodec.dll"));
  ASSERT_TRUE(Put("VersionPlain.dll", Folder() + "\\NewComponents\\QFXAudio.dll"));
  ExpectCode(ListOf(Pair("QFXCore", "3.0.1.27") + Pair("QFXCodec", "3.0.1.27") + Pair("QFXAudio", "9.9.9.9")), 2,
             "second and third wrong");
  ExpectCode(ListOf(Pair("QFXCore", "3.0.1.27") + Pair("QFXCodec", "3.0.1.28") + Pair("QFXAudio", "1.2.3.4")), 0,
             "all right");
  ExpectCode("[DLL_Versions]\r\nDLL = QFXCore\r\nDLL = QFXCodec\r\nDLL = QFXAudio\r\n"
             "Version = 3.0.1.27\r\nVersion = 3.0.1.28\r\nVersion = 1.2.3.5\r\n",
             3, "names first, then versions");
}

TEST_F(VerifyOption, AListThatGivesNoPairsIsUnusable) {
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\NpQuillframe3.dll"));
  const struct {
    const char* what;
    std::string list;
  } cases[] = {
      {"two names, one version",
       ListOf(Pair("NpQuillframe3", "3.0.1.27") + "DLL = NpQuillframe3\r\n")},
      {"lower-case keys", "[DLL_Versions]\r\ndll = NpQuillframe3\r\nversion = 3.0.1.27\r\n"},
      {"another section", "[Versions]\r\n" + Pair("NpQuillframe3", "3.0.1.27")},
      {"an empty file", ""},
  };
  for (const auto& c : cases) ExpectCode(c.list, -3, c.what);
}

TEST_F(VerifyOption, AMissingListIsUnusable) {
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\NpQuillframe3.dll"));
  ProgramRun run = RunProgram(ControlPanelProgram(), "-v " + (player_.Root() / "no-such-list.txt"));
  EXPECT_EQ(WithoutCarriageReturns(run.output), "-3\n");
  EXPECT_EQ(run.exitCode, -3);
}

TEST_F(VerifyOption, AFileWithoutAVersionComparesAsZero) {
  ASSERT_TRUE(Put("NoVersion.dll", Folder() + "\\Plugins\\NpQuillframe3.dll"));
  ExpectCode(ListOf(Pair("NpQuillframe3", "0")), 0, "listed as 0");
  ExpectCode(ListOf(Pair("NpQuillframe3", "0.0.0.0")), 1, "listed as 0.0.0.0");
}

TEST_F(VerifyOption, LooksOnlyOneLevelIntoTheComponentSubfolders) {
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\Components\\Old\\NpQuillframe3.dll"));
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\Other\\QFXCore.dll"));
  ExpectCode(ListOf(Pair("NpQuillframe3", "3.0.1.27")), 1, "a library below Components\\Old");
  ExpectCode(ListOf(Pair("QFXCore", "3.0.1.27")), 1, "a library in another subfolder");
}

TEST_F(VerifyOption, LooksThroughTheWholeNavigatorPluginsFolder) {
  std::string plugins = player_.Root() / "Netscape\\Plugins";
  ASSERT_TRUE(Put("VersionSpaced.dll", plugins + "\\Quillframe\\NpQuillframe3.dll"));
  ASSERT_TRUE(Put("VersionSpaced.dll", plugins + "\\npother.dll"));
  ASSERT_TRUE(navigator_.Install("4.78 (en)", plugins));
  ExpectCode(ListOf(Pair("NpQuillframe3", "3.0.1.27")), 0, "the player's library in a subfolder");
  ExpectCode(ListOf(Pair("npother", "3.0.1.27")), 1, "another browser plug-in");
}

TEST_F(VerifyOption, UsesThePluginsFolderOfNavigatorsCurrentVersion) {
  std::string current = player_.Root() / "Navigator 4.8\\Plugins";
  std::string older = player_.Root() / "Navigator 4.7\\Plugins";
  ASSERT_TRUE(Put("VersionNext.dll", current + "\\NPQuillframe3.dll"));
  ASSERT_TRUE(Put("VersionSpaced.dll", older + "\\NPQuillframe3.dll"));
  ASSERT_TRUE(navigator_.SetPluginsDirectory("4.7", older));
  ASSERT_TRUE(navigator_.Install("4.8", current));
  ExpectCode(ListOf(Pair("NPQuillframe3", "3.0.1.28")), 0, "the current version's library");
  ExpectCode(ListOf(Pair("NPQuillframe3", "3.0.1.27")), 1, "the older version's library");
  ASSERT_TRUE(navigator_.SetCurrentVersion("4.7"));
  ExpectCode(ListOf(Pair("NPQuillframe3", "3.0.1.27")), 0, "after switching to the older version");
}

TEST_F(VerifyOption, TakesAQuotedFileNameAndRunsTheOptionAfterIt) {
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\NpQuillframe3.dll"));
  std::string list = player_.Root() / "list file.txt";
  ASSERT_TRUE(WriteTextFile(list, ListOf(Pair("NpQuillframe3", "3.0.1.27"))));
  std::string options = Folder() + "\\QuillframeConfig.ini";
  ASSERT_TRUE(WriteTextFile(options, "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"));

  ProgramRun run = RunProgram(ControlPanelProgram(), "-v \"" + list + "\" -cu+");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(ReadTextFile(options).find("CheckForUpdates = 1"), std::string::npos) << "-cu+ ran";
}

TEST_F(VerifyOption, AFileNameLongerThanAPathIsNotCutToAnotherFile) {
  // The first 256 characters of the name name a valid list; the whole name
  // does not, and it is that name which is verified.
  ASSERT_TRUE(Put("VersionSpaced.dll", Folder() + "\\NpQuillframe3.dll"));
  std::string cut = player_.Root().Path() + "\\";
  while (cut.size() < 256) cut += "l";
  ASSERT_TRUE(WriteTextFile(cut, ListOf(Pair("NpQuillframe3", "3.0.1.27"))));
  ProgramRun run = RunProgram(ControlPanelProgram(), "-v \"" + cut + "ist.txt\"");
  EXPECT_EQ(WithoutCarriageReturns(run.output), "-3\n");
  EXPECT_EQ(run.exitCode, -3);

  run = RunProgram(ControlPanelProgram(), "-v \"" + cut + "\"");
  EXPECT_EQ(WithoutCarriageReturns(run.output), "0\n") << "the 256-character name itself is read";
}

TEST(VerifyOptionWithoutPlayer, GivesMinusOne) {
  PlayerInstallation player;  // keys removed, nothing installed
  TempFolder folder;
  std::string list = folder / "list.txt";
  ASSERT_TRUE(WriteTextFile(list, "[DLL_Versions]\r\nDLL = a\r\nVersion = 0\r\n"));
  const std::string missing = folder / "missing";
  for (bool setPath : {false, true}) {
    if (setPath) ASSERT_TRUE(player.SetComponentPath(missing));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-v " + list);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(WithoutCarriageReturns(run.output), "-1\n") << (setPath ? "a missing folder" : "no player key");
    EXPECT_EQ(run.exitCode, -1);
  }
}

}  // namespace
