#include "foundation/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifndef _WIN32
#include "foundation/platform_host.h"
#endif

namespace {

TEST(PathTextTest, ConvertSeparators) {
  const struct {
    const char* text;
    char separator;
    Status status;
    const char* result;
  } cases[] = {
      {"a/b\\c", '\\', StatusOk, "a\\b\\c"},
      {"a/b\\c", '/', StatusOk, "a/b/c"},
      {"//x//", '\\', StatusOk, "\\\\x\\\\"},
      {"plain", '/', StatusOk, "plain"},
      {"", '\\', StatusOk, ""},
      {"a/b\\c", ':', StatusBadArgument, "a/b\\c"},
      {"a/b\\c", '\0', StatusBadArgument, "a/b\\c"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ConvertSeparators(&text[0], c.separator), c.status) << c.text << " " << c.separator;
    EXPECT_EQ(text, c.result) << c.text << " " << c.separator;
  }
  EXPECT_EQ(ConvertSeparators(nullptr, '\\'), StatusBadArgument);
}

TEST(PathTextTest, JoinFolderAndNameWithOneBackslash) {
  const struct {
    const char* folder;
    const char* name;
    const char* path;
  } cases[] = {
      {"C:\\Tools", "a.dll", "C:\\Tools\\a.dll"},
      {"C:\\Tools\\", "a.dll", "C:\\Tools\\a.dll"},
      {"C:\\", "*.*", "C:\\*.*"},
      {"Tools\\\\", "a.dll", "Tools\\\\a.dll"},  // only the last backslash counts
      {"", "a.dll", "\\a.dll"},
      {"C:\\Tools", "", "C:\\Tools\\"},
  };
  for (const auto& c : cases) {
    char out[32];
    memset(out, 'x', sizeof out);
    EXPECT_TRUE(JoinFolderAndName(c.folder, c.name, out, sizeof out)) << c.folder << " + " << c.name;
    EXPECT_STREQ(out, c.path);
  }
}

TEST(PathTextTest, JoinFolderAndNameRefusesAPathThatDoesNotFit) {
  // "abc" + "\" + "de" and the NUL take 7 bytes.
  char out[8];
  memset(out, 'x', sizeof out);
  EXPECT_TRUE(JoinFolderAndName("abc", "de", out, 7));
  EXPECT_STREQ(out, "abc\\de");
  EXPECT_EQ(out[7], 'x') << "nothing is written past the bound";
  memset(out, 'x', sizeof out);
  EXPECT_FALSE(JoinFolderAndName("abc", "de", out, 6));
  EXPECT_EQ(out[0], '\0') << "a path that does not fit leaves the buffer empty";
  EXPECT_EQ(out[1], 'x') << "and writes no part of the path";
  EXPECT_FALSE(JoinFolderAndName("abc\\", "def", out, 7));
  EXPECT_FALSE(JoinFolderAndName("", "", out, 1));
  EXPECT_FALSE(JoinFolderAndName("a", "b", out, 0));
  EXPECT_EQ(out[0], '\0');
}

#ifndef _WIN32
// On the host the program's file name is a stand-in that tests may change.
class ProgramFilePathTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetHostProgramFileName(DefaultProgram); }
  static constexpr const char* DefaultProgram = "C:\\Corvalent\\ControlPanel.exe";
};

std::string PathFor(const char* name) {
  FixedPath out;
  out.SetText("stale");
  EXPECT_TRUE(ProgramFilePath(out, name));
  return out.Text();
}

TEST_F(ProgramFilePathTest, JoinsTheNameToTheProgramsFolder) {
  const std::string longName(245, 'n');  // 258 characters once joined
  const struct {
    const char* name;
    std::string result;
  } cases[] = {
      {nullptr, "C:\\Corvalent\\"},
      {"", "C:\\Corvalent\\"},
      {"ControlPanelv306.ini", "C:\\Corvalent\\ControlPanelv306.ini"},
      {"sub/ControlPanelv306.ini", "C:\\Corvalent\\sub\\ControlPanelv306.ini"},
      {"\\ControlPanelv306.ini", "C:\\Corvalent\\ControlPanelv306.ini"},
      {"//\\a/b", "C:\\Corvalent\\a\\b"},
      {"noextension", "C:\\Corvalent\\noextension"},
      {longName.c_str(), "C:\\Corvalent\\" + longName.substr(0, 256 - 13)},  // SetText keeps 256
  };
  for (const auto& c : cases) EXPECT_EQ(PathFor(c.name), c.result) << (c.name ? c.name : "(none)");
}

TEST_F(ProgramFilePathTest, GivesTheEmptyPathWhenTheResultCannotBeMade) {
  const std::string fits(259 - 13, 'n'), tooLong(260 - 13, 'n');
  const std::string overlong(260, 'n'), farTooLong(5000, 'n');
  EXPECT_EQ(PathFor(fits.c_str()).size(), 256u);
  EXPECT_EQ(PathFor(tooLong.c_str()), "");
  EXPECT_EQ(PathFor(overlong.c_str()), "");
  EXPECT_EQ(PathFor(farTooLong.c_str()), "");
  EXPECT_EQ(PathFor(("\\" + std::string(259, 'n')).c_str()), "");

  platform::SetHostProgramFileName("");
  EXPECT_EQ(PathFor("name.ini"), "");
}

TEST_F(ProgramFilePathTest, KeepsTheDriveAndFolderOfOtherProgramPaths) {
  const struct {
    const char* program;
    const char* name;
    const char* result;
  } cases[] = {
      {"D:\\a\\b\\c\\tool.exe", "x.ini", "D:\\a\\b\\c\\x.ini"},
      {"C:\\tool.exe", nullptr, "C:\\"},
      {"D:tool.exe", "x.ini", "D:x.ini"},
      {"\\\\server\\share\\tool.exe", "x.ini", "\\\\server\\share\\x.ini"},
  };
  for (const auto& c : cases) {
    platform::SetHostProgramFileName(c.program);
    EXPECT_EQ(PathFor(c.name), c.result) << c.program;
  }
}
#endif

}  // namespace
