// Settings files and version lists in other encodings: a UTF-8 byte-order
// mark is read past and kept; a file in UTF-16 or with a NUL byte before its
// end is never rewritten (every option that would rewrite it fails and leaves
// it byte for byte), and "-v" cannot use such a list.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/fixtures_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"

namespace {

const std::string Utf8Mark = "\xEF\xBB\xBF";

// text (ASCII) as UTF-16 with its byte-order mark, little or big endian.
std::string Utf16(const std::string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : text) {
    bytes += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
  }
  return bytes;
}

std::string Sites(const std::string& sites) { return "[Download Sites]\r\n" + sites + "\r\n"; }
std::string SiteLine(const std::string& site) { return "site = " + site + "\r\n"; }
std::string Options(const std::string& check, const std::string& time) {
  return "[ComponentMgrOptions]\r\nCheckForUpdates = " + check + "\r\nLastUpdateCheckTime = " + time + "\r\n\r\n";
}

class SettingsEncodings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Install()); }
  std::string SitesFile() const { return player.ComponentFolder() + "\\QFXDownloadSites.txt"; }
  std::string OptionsFile() const { return player.ComponentFolder() + "\\QuillframeConfig.ini"; }
  // Writes file, runs the program with arguments, and expects the printed
  // code and the file's bytes afterwards.
  void Expect(const std::string& path, const std::string& file, const std::string& arguments,
              const std::string& output, const std::string& after, const char* what) {
    ASSERT_TRUE(WriteTextFile(path, file));
    ProgramRun run = RunProgram(ControlPanelProgram(), arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(WithoutCarriageReturns(run.output), output) << what << ": " << arguments;
    EXPECT_EQ(ReadTextFile(path), after) << what << ": " << arguments;
  }
  PlayerInstallation player;
};

TEST_F(SettingsEncodings, AUtf8ByteOrderMarkIsReadPastAndKept) {
  const std::string two = SiteLine("https://a/") + SiteLine("https://b/");
  Expect(SitesFile(), Utf8Mark + Sites(two), "-ds+ https://n/", "0\n",
         Utf8Mark + Sites(SiteLine("https://n/") + two), "site list");
  Expect(SitesFile(), Utf8Mark + Sites(two), "-ds https://a/", "0\n", Utf8Mark + Sites(SiteLine("https://b/")),
         "site list");
  // The section right behind the mark is found: its sites are not doubled.
  Expect(SitesFile(), Utf8Mark + Sites(two), "-ds+ https://b/", "0\n", Utf8Mark + Sites(two), "site list");
  Expect(OptionsFile(), Utf8Mark + Options("0", "5"), "-cu+ -lu 6", "0\n", Utf8Mark + Options("1", "6"),
         "options");
  // Without a mark, none is added.
  Expect(OptionsFile(), Options("0", "5"), "-cu+", "0\n", Options("1", "5"), "options");
}

TEST_F(SettingsEncodings, Utf16OrANulBeforeTheEndLeavesTheFileByteForByte) {
  const std::string sites = Sites(SiteLine("https://a/") + SiteLine("https://b/"));
  const std::string options = Options("0", "5");
  const struct {
    const char* what;
    std::string sitesFile;
    std::string optionsFile;
  } cases[] = {
      {"UTF-16 little endian", Utf16(sites, false), Utf16(options, false)},
      {"UTF-16 big endian", Utf16(sites, true), Utf16(options, true)},
      {"a NUL inside", "[Download Sites]\r\nsite = https://a/\r\n" + std::string(1, '\0') + "site = https://b/\r\n",
       "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n" + std::string(1, '\0') + "LastUpdateCheckTime = 5\r\n"},
      {"a NUL at the start", std::string(1, '\0') + sites, std::string(1, '\0') + options},
  };
  for (const auto& c : cases) {
    for (const char* arguments : {"-ds+ https://n/", "-ds https://a/", "-ds+ Default"}) {
      Expect(SitesFile(), c.sitesFile, arguments, "1\n", c.sitesFile, c.what);
    }
    for (const char* arguments : {"-cu+", "-cu", "-lu 6"}) {
      Expect(OptionsFile(), c.optionsFile, arguments, "1\n", c.optionsFile, c.what);
    }
  }
}

TEST_F(SettingsEncodings, NulsOnlyAtTheEndLoseNothing) {
  const std::string sites = Sites(SiteLine("https://a/"));
  // The edit keeps every byte it does not change, the NULs too.
  Expect(SitesFile(), sites + std::string(3, '\0'), "-ds+ https://n/", "0\n",
         Sites(SiteLine("https://n/") + SiteLine("https://a/")) + std::string(3, '\0'), "trailing NULs");
}

TEST_F(SettingsEncodings, VersionListsInOtherEncodings) {
  ASSERT_TRUE(CopyFileA(FixturePath("VersionSpaced.dll").c_str(),
                        (player.ComponentFolder() + "\\NpQuillframe3.dll").c_str(), FALSE));  // "3, 0, 1, 27"
  const std::string list = "[DLL_Versions]\r\nDLL = NpQuillframe3\r\nVersion = 3.0.1.27\r\n";
  const std::string listFile = player.Root() / "list.txt";
  const struct {
    const char* what;
    std::string bytes;
    std::string output;
  } cases[] = {
      {"plain", list, "0\n"},
      {"a UTF-8 byte-order mark", Utf8Mark + list, "0\n"},
      {"UTF-16 little endian", Utf16(list, false), "-3\n"},
      {"UTF-16 big endian", Utf16(list, true), "-3\n"},
      // The first pair alone would verify: the pairs after the NUL count too.
      {"a NUL inside", list + std::string(1, '\0') + "DLL = QFXCodec\r\nVersion = 1.0.0.0\r\n", "-3\n"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(listFile, c.bytes));
    ProgramRun run = RunProgram(ControlPanelProgram(), "-v " + listFile);
    EXPECT_EQ(WithoutCarriageReturns(run.output), c.output) << c.what;
  }
}

}  // namespace
