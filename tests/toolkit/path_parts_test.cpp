#include "toolkit/path_parts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/core/paths.h"
#include "support/path_of.h"
#include "toolkit/path_parts_cases.h"

namespace {

bool PartsAreEmpty(const PathParts& parts) {
  return !parts.drive[0] && !parts.directory[0] && !parts.name[0] && !parts.extension[0];
}

// The program's folder with its trailing backslash, as the platform reports it.
std::string ProgramFolder() {
  char file[260];
  EXPECT_NE(ReadProgramFileName(file, sizeof file), 0u);
  std::string text(file);
  return text.substr(0, text.find_last_of("\\/") + 1);
}

TEST(PathPartsTest, SplitPartsFollowsTheRuntimeRules) {
  for (const SplitCase& c : SplitCases) {
    PathParts parts;
    memset(&parts, 'J', sizeof parts);  // whatever was there before is cleared
    ASSERT_TRUE(SplitParts(UncutPathOf(c.path), parts)) << c.path;
    EXPECT_STREQ(parts.drive, c.drive) << c.path;
    EXPECT_STREQ(parts.directory, c.directory) << c.path;
    EXPECT_STREQ(parts.name, c.name) << c.path;
    EXPECT_STREQ(parts.extension, c.extension) << c.path;
  }
}

TEST(PathPartsTest, SetFromPartsFollowsTheRuntimeRules) {
  for (const JoinCase& c : JoinCases) {
    FixedPath path = UncutPathOf("previous");
    EXPECT_TRUE(SetFromParts(path, c.drive, c.directory, c.name, c.extension)) << c.path;
    EXPECT_STREQ(path.Text(), c.path);
  }
}

TEST(PathPartsTest, CopyByPartsReproducesEveryPath) {
  for (const SplitCase& c : SplitCases) {
    FixedPath copy = UncutPathOf("previous");
    FixedPath original = UncutPathOf(c.path);
    ASSERT_TRUE(CopyByParts(copy, &original)) << c.path;
    EXPECT_STREQ(copy.Text(), c.path);
  }
  FixedPath full = UncutPathOf("C:\\" + std::string(200, 'd') + "\\" + std::string(50, 'n') + ".ext");
  FixedPath copy;
  ASSERT_TRUE(CopyByParts(copy, &full));
  EXPECT_STREQ(copy.Text(), full.Text());
  // A path copied onto itself stays as it is.
  ASSERT_TRUE(CopyByParts(full, &full));
  EXPECT_STREQ(copy.Text(), full.Text());
}

TEST(PathPartsTest, CopyByPartsOfNoneFailsAndKeepsThePath) {
  FixedPath path = UncutPathOf("C:\\kept");
  EXPECT_FALSE(CopyByParts(path, nullptr));
  EXPECT_STREQ(path.Text(), "C:\\kept");
}

TEST(PathPartsTest, APartTooLongForItsFieldIsRefusedNotCut) {
  const struct {
    const char* what;
    std::string path;
    bool fits;
  } cases[] = {
      {"directory of 255", "C:" + std::string(254, 'd') + "\\n", true},
      {"directory of 256", "C:" + std::string(255, 'd') + "\\n", false},
      {"name of 255", "\\" + std::string(255, 'n') + ".e", true},
      {"name of 256", "\\" + std::string(256, 'n') + ".e", false},
      {"extension of 255", "\\n." + std::string(254, 'e'), true},
      {"extension of 256", "\\n." + std::string(255, 'e'), false},
  };
  for (const auto& c : cases) {
    FixedPath original = UncutPathOf(c.path);
    PathParts parts;
    EXPECT_EQ(SplitParts(original, parts), c.fits) << c.what;
    FixedPath copy = UncutPathOf("previous");
    EXPECT_EQ(CopyByParts(copy, &original), c.fits) << c.what;
    if (c.fits) {
      EXPECT_STREQ(copy.Text(), original.Text()) << c.what;
    } else {
      EXPECT_TRUE(PartsAreEmpty(parts)) << c.what;
      EXPECT_STREQ(copy.Text(), "") << c.what;
    }
  }
}

TEST(PathPartsTest, SetFromPartsRefusesA260CharacterPathAndLeavesItEmpty) {
  const std::string name259(259, 'n');
  const std::string name258(258, 'n');
  const std::string name260(260, 'n');
  const struct {
    const char* what;
    const char *drive, *directory, *name, *extension;
    bool joined;
    size_t length;
  } cases[] = {
      {"a name of 259", nullptr, nullptr, name259.c_str(), nullptr, true, 259},
      {"a name of 260", nullptr, nullptr, name260.c_str(), nullptr, false, 0},
      {"parts adding up to 259", "C:", "\\", name258.c_str() + 3, ".", true, 259},
      {"parts adding up to 260", "C:", "\\", name258.c_str() + 2, ".", false, 0},
      // The ":", "\" and "." that joining adds count as well.
      {"a one-letter drive", "C", nullptr, name258.c_str(), nullptr, false, 0},
      {"a directory without backslash", nullptr, "d", name258.c_str(), nullptr, false, 0},
      {"an extension without dot", nullptr, nullptr, name258.c_str(), "e", false, 0},
      {"a long drive adding up to 260", "C:\\drive\\", nullptr, name258.c_str() + 7, nullptr, false, 0},
  };
  for (const auto& c : cases) {
    FixedPath path = UncutPathOf("previous");
    EXPECT_EQ(SetFromParts(path, c.drive, c.directory, c.name, c.extension), c.joined) << c.what;
    EXPECT_EQ(strlen(path.Text()), c.length) << c.what;
  }
}

TEST(PathPartsTest, SetFromPartsMayTakeAPartFromThePathItself) {
  FixedPath path = UncutPathOf("settings");
  ASSERT_TRUE(SetFromParts(path, "C:", "\\dir", path.text, "ini"));
  EXPECT_STREQ(path.Text(), "C:\\dir\\settings.ini");
}

TEST(PathPartsTest, ClearPathAndFitsPath) {
  FixedPath path = UncutPathOf("C:\\x");
  ClearPath(path);
  EXPECT_STREQ(path.Text(), "");
  EXPECT_EQ(path.mark, 1);

  EXPECT_FALSE(FitsPath(nullptr));
  EXPECT_TRUE(FitsPath(""));
  EXPECT_TRUE(FitsPath(std::string(259, 'a').c_str()));
  EXPECT_FALSE(FitsPath(std::string(260, 'a').c_str()));
}

TEST(PathPartsTest, SetToProgramFileFindsFilesBesideTheProgram) {
  char programFile[260];
  ASSERT_NE(ReadProgramFileName(programFile, sizeof programFile), 0u);
  const std::string folder = ProgramFolder();
  const struct {
    const char* name;
    std::string expected;
  } cases[] = {
      {nullptr, programFile},
      {"ControlPanelv306.ini", folder + "ControlPanelv306.ini"},
      {"sub\\settings.txt", folder + "sub\\settings.txt"},
      {"noextension", folder + "noextension"},
  };
  for (const auto& c : cases) {
    FixedPath path = UncutPathOf("previous");
    ASSERT_TRUE(SetToProgramFile(path, c.name)) << (c.name ? c.name : "(none)");
    EXPECT_EQ(std::string(path.Text()), c.expected);
  }
}

TEST(PathPartsTest, SetToProgramFileKeepsThePreviousPathWhenTheNameDoesNotFit) {
  const std::string longNames[] = {std::string(260, 'n'), std::string(259, 'n'),
                                   std::string(260 - ProgramFolder().size(), 'n')};
  for (const std::string& name : longNames) {
    FixedPath path = UncutPathOf("C:\\previous\\path.txt");
    EXPECT_FALSE(SetToProgramFile(path, name.c_str())) << name.size();
    EXPECT_STREQ(path.Text(), "C:\\previous\\path.txt") << name.size();
  }
  FixedPath path;
  const std::string longest(259 - ProgramFolder().size(), 'n');
  ASSERT_TRUE(SetToProgramFile(path, longest.c_str()));
  EXPECT_EQ(std::string(path.Text()), ProgramFolder() + longest);
}

#if !defined(_WIN32)
// On the host the program's file name can be chosen.
TEST(PathPartsTest, SetToProgramFileForAProgramAtAGivenPlace) {
  SetHostProgramFileName("C:\\Tools\\panel.exe");
  FixedPath path;
  EXPECT_TRUE(SetToProgramFile(path, "ControlPanelv306.ini"));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\ControlPanelv306.ini");
  EXPECT_TRUE(SetToProgramFile(path, nullptr));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\panel.exe");
  EXPECT_FALSE(SetToProgramFile(path, std::string(260, 'n').c_str()));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\panel.exe");

  // A program in a folder too deep to split cannot name a file beside it.
  SetHostProgramFileName(("C:" + std::string(255, 'd') + "\\p.exe").c_str());
  EXPECT_FALSE(SetToProgramFile(path, "x.ini"));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\panel.exe");
  SetHostProgramFileName("C:\\Corvalent\\ControlPanel.exe");
}
#endif

}  // namespace
