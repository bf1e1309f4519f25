#include "foundation/core/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/path_of.h"

namespace {

TEST(FixedPathTest, ConstructionSetsTheMarkAndAnEmptyText) {
  FixedPath path;
  EXPECT_EQ(path.mark, 1);
  EXPECT_STREQ(path.Text(), "");
  FixedPath copy(PathOf("C:\\dir"));
  EXPECT_EQ(copy.mark, 1);
  EXPECT_STREQ(copy.Text(), "C:\\dir");
}

TEST(FixedPathTest, SetTextKeepsAtMost256Characters) {
  FixedPath path = PathOf(std::string(300, 'a'));
  EXPECT_EQ(path.Length(), 256u);
  path.SetText(nullptr);
  EXPECT_STREQ(path.Text(), "");
}

struct AppendCase {
  std::string path, name;
  Status status;
  std::string result;
};

TEST(FixedPathTest, AppendName) {
  const AppendCase cases[] = {
      {"", "x", StatusOk, "\\x"},
      {"C:\\a", "b", StatusOk, "C:\\a\\b"},
      {"C:\\a\\", "b", StatusOk, "C:\\a\\b"},
      {std::string(258, 'p'), "x", StatusIoError, std::string(258, 'p') + "\\"},
      {std::string(250, 'p'), std::string(8, 'n'), StatusOk, std::string(250, 'p') + "\\" + std::string(8, 'n')},
      {std::string(250, 'p'), std::string(9, 'n'), StatusIoError, std::string(250, 'p') + "\\"},
  };
  for (const auto& c : cases) {
    FixedPath path;
    // Paths longer than SetText allows are built by appending.
    memcpy(path.text, c.path.c_str(), c.path.size() + 1);
    EXPECT_EQ(path.AppendName(c.name.c_str()), c.status) << c.path.size() << " + " << c.name;
    EXPECT_EQ(std::string(path.Text()), c.result) << c.path.size() << " + " << c.name;
  }
  FixedPath unchanged = PathOf("C:\\a");
  EXPECT_EQ(unchanged.AppendName(nullptr), StatusOk);
  EXPECT_STREQ(unchanged.Text(), "C:\\a");
}

TEST(FixedPathTest, AppendNameOnAFullPathRefusesEvenTheBackslash) {
  FixedPath path;
  std::string full(259, 'p');
  memcpy(path.text, full.c_str(), full.size() + 1);
  EXPECT_EQ(path.AppendName("x"), StatusIoError);
  EXPECT_EQ(std::string(path.Text()), full);
}

TEST(FixedPathTest, ReplaceName) {
  const AppendCase cases[] = {
      {"C:\\dir\\old.txt", "new.ini", StatusOk, "C:\\dir\\new.ini"},
      {"", "name.txt", StatusOk, "name.txt"},
      {"nobackslash", "x", StatusIoError, "nobackslash"},
      {"\\old", "new", StatusOk, "\\new"},
      {"C:\\d\\old", std::string(257, 'n'), StatusIoError, "C:\\d\\"},
  };
  for (const auto& c : cases) {
    FixedPath path = PathOf(c.path);
    EXPECT_EQ(path.ReplaceName(c.name.c_str()), c.status) << c.path;
    EXPECT_EQ(std::string(path.Text()), c.result) << c.path;
  }
}

TEST(PathTextTest, FileNameOfIsTheTextAfterTheLastSeparator) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\dir\\f.txt", "f.txt"}, {"C:/dir/f.txt", "f.txt"}, {"C:\\dir/sub\\f", "f"},
      {"C:\\dir\\", ""},          {"noslash", "noslash"},   {"", ""},
      {"\\only", "only"},          {"C:f.txt", "C:f.txt"},
  };
  for (const auto& c : cases) {
    const char* name = FileNameOf(c.path);
    EXPECT_STREQ(name, c.name) << c.path;
    // A pointer into the path itself, not a copy.
    EXPECT_EQ(name, c.path + strlen(c.path) - strlen(c.name)) << c.path;
  }
}

TEST(FixedPathTest, FileNamePart) {
  const struct {
    const char* path;
    const char* name;  // none expected when null
  } cases[] = {
      {"C:\\dir\\f.txt", "f.txt"}, {"C:\\dir\\", nullptr}, {"\\only", nullptr},
      {"noslash", nullptr},        {"", nullptr},          {"a\\b", "b"},
      {"C:/dir/f.txt", "f.txt"},   {"C:\\dir/", nullptr},
  };
  for (const auto& c : cases) {
    FixedPath path = PathOf(c.path);
    const char* part = path.FileNamePart();
    if (c.name) {
      ASSERT_NE(part, nullptr) << c.path;
      EXPECT_STREQ(part, c.name) << c.path;
    } else {
      EXPECT_EQ(part, nullptr) << c.path;
    }
  }
}

TEST(FixedPathTest, RemoveNameAndToParent) {
  const struct {
    const char* path;
    const char* afterRemove;
  } removals[] = {
      {"C:\\dir\\f.txt", "C:\\dir\\"}, {"C:\\dir\\", "C:\\dir\\"}, {"noslash", "noslash"}, {"", ""},
  };
  for (const auto& c : removals) {
    FixedPath path = PathOf(c.path);
    path.RemoveName();
    EXPECT_STREQ(path.Text(), c.afterRemove) << c.path;
  }

  const struct {
    const char* path;
    bool moved;
    const char* result;
  } parents[] = {
      {"C:\\a\\b\\", true, "C:\\a\\"},
      {"C:\\a\\", true, "C:\\"},
      {"C:\\", false, "C:\\"},
      {"C:\\a\\file", true, "C:\\"},
      {"", false, ""},
  };
  for (const auto& c : parents) {
    FixedPath path = PathOf(c.path);
    EXPECT_EQ(path.ToParent(), c.moved) << c.path;
    EXPECT_STREQ(path.Text(), c.result) << c.path;
  }
}

}  // namespace

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
  void TearDown() override { SetHostProgramFileName(DefaultProgram); }
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

  SetHostProgramFileName("");
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
    SetHostProgramFileName(c.program);
    EXPECT_EQ(PathFor(c.name), c.result) << c.program;
  }
}
#endif

}  // namespace

namespace {

struct ExtensionCase {
  const char* text;
  const char* extension;
};

TEST(FileExtensionTest, IsTheTextFromTheLastDotOfTheName) {
  const ExtensionCase cases[] = {
      {"C:\\dir\\file.dll", ".dll"},
      {"file.DLL", ".DLL"},
      {"archive.tar.gz", ".gz"},           // several dots: the last one
      {"C:\\dir\\README", ""},             // none
      {"C:\\dir.d\\README", ""},           // a dot in a folder name is not the file's
      {"dir.d/README", ""},
      {"C:.hidden", ".hidden"},            // after the drive's colon
      {"C:name", ""},
      {"file.", "."},
      {".profile", ".profile"},
      {"", ""},
      {"a.b\\c.d/e.f", ".f"},
  };
  for (const auto& c : cases) {
    const char* extension = FileExtension(c.text);
    EXPECT_STREQ(extension, c.extension) << c.text;
    // A position in the text itself, the terminator when empty.
    EXPECT_GE(extension, c.text);
    EXPECT_EQ(extension + std::string(extension).size(), c.text + std::string(c.text).size());
  }
}

}  // namespace
