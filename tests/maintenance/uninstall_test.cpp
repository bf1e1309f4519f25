#include "maintenance/uninstall.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(PlayerLibraryName, BeginsWithThePrefixInAnyCase) {
  const struct {
    const char* name;
    bool player;
  } cases[] = {
      {"AxQuillframe.dll", true},
      {"AxQuillframe3.dll", true},
      {"axquillframeCtl.dll", true},
      {"AXQUILLFRAME_X.DLL", true},
      {"AxQuillframe", true},
      {"AxQuillfram.dll", false},  // one character short of the prefix
      {"AxQuillfram", false},
      {"xAxQuillframe.dll", false},
      {"NPQuillframe3.dll", false},
      {"Quillframe.dll", false},
      {"", false},
      {nullptr, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlayerLibraryName(c.name), c.player) << (c.name ? c.name : "(none)");
}

// A player library's file, by its name as stored (UTF-8): a shared library
// with the prefix, whatever else its name holds.
TEST(PlayerLibraryName, AFileIsALibraryWithThePrefix) {
  const struct {
    const char* name;
    bool player;
  } cases[] = {
      {"AxQuillframe3.dll", true},
      {"AXQUILLFRAME3.DLL", true},
      {"AxQuillframe\xCE\xA9.dll", true},  // "AxQuillframeΩ.dll"
      {"AxQuillframe3.dllx", false},
      {"AxQuillframe3.dll.txt", false},
      {"AxQuillframe3", false},
      {"AXQUIL~1.DLL", false},  // a short form is no name as stored
      {"Unrelated.dll", false},
      {nullptr, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlayerLibraryFileName(c.name), c.player) << (c.name ? c.name : "(none)");
}

TEST(PluginPath, JoinsFolderAndNameWithOneBackslash) {
  const struct {
    const char* folder;
    std::string path;
  } cases[] = {
      {"C:\\Netscape\\Plugins", "C:\\Netscape\\Plugins\\NPQuillframe3.dll"},
      {"C:\\Netscape\\Plugins\\", "C:\\Netscape\\Plugins\\NPQuillframe3.dll"},
      {"C:\\", "C:\\NPQuillframe3.dll"},
  };
  for (const auto& c : cases) {
    char out[260];
    memset(out, 'x', sizeof out);
    ASSERT_TRUE(JoinPluginPath(c.folder, PluginLibraryName, out, sizeof out)) << c.folder;
    EXPECT_EQ(std::string(out), c.path);
    EXPECT_EQ(out[c.path.size() + 1], '\0') << "the double NUL the shell needs";
  }
}

TEST(PluginPath, RefusesMissingFoldersAndPathsThatDoNotFit) {
  char out[32];
  const std::string fits(32 - 2 - 1 - strlen("a.dll"), 'f');  // path and two NULs exactly fill the buffer
  EXPECT_TRUE(JoinPluginPath(fits.c_str(), "a.dll", out, sizeof out));
  EXPECT_EQ(std::string(out), fits + "\\a.dll");
  const std::string tooLong = fits + "f";
  EXPECT_FALSE(JoinPluginPath(tooLong.c_str(), "a.dll", out, sizeof out));
  EXPECT_EQ(out[0], '\0');
  EXPECT_FALSE(JoinPluginPath("", "a.dll", out, sizeof out));
  EXPECT_FALSE(JoinPluginPath(nullptr, "a.dll", out, sizeof out));
  EXPECT_EQ(out[0], '\0');
}

}  // namespace

namespace {

TEST(UninstallOutcome, TheCheckWinsOverTheStepsResult) {
  const struct {
    bool uninstalled;
    int32_t verification;
    int32_t outcome;
  } cases[] = {
      {true, NothingLeft, 0},   {false, NothingLeft, 1},
      {true, ComponentFolderLeft, -1}, {false, ComponentFolderLeft, -1},
      {true, InstallRootLeft, -2},     {false, InstallRootLeft, -2},
      {true, TechnologyKeyLeft, -3},   {false, TechnologyKeyLeft, -3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UninstallOutcome(c.uninstalled, c.verification), c.outcome) << c.uninstalled << " " << c.verification;
}

TEST(UninstallOutcome, EachOutcomeHasItsBox) {
  const struct {
    int32_t outcome;
    const char* caption;
    const char* text;
  } cases[] = {
      {0, "Uninstall", "Success"},
      {-1, "Uninstall Failure", "Couldn't delete directory"},
      {-2, "Uninstall Failure", "Couldn't delete root directory"},
      {-3, "Uninstall Failure", "Couldn't delete registry entries"},
      {1, "Uninstall Failure", "Explorer or Netscape are possibly running."},
  };
  for (const auto& c : cases) {
    UninstallReport report = UninstallOutcomeReport(c.outcome);
    EXPECT_STREQ(report.caption, c.caption) << c.outcome;
    EXPECT_STREQ(report.text, c.text) << c.outcome;
  }
}

}  // namespace
