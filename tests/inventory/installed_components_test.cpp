#include "inventory/installed_components.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "foundation/core/typed_array.h"
#include "support/path_of.h"
#include "support/profile_dump.h"

namespace {

std::vector<std::string> FragmentLines(ProfileDocument& document) {
  TypedArray<Fragment> fragments;
  EXPECT_TRUE(CollectFragments(document, fragments));
  std::vector<std::string> lines;
  String line;
  for (int32_t i = 0; i < fragments.count; ++i) {
    EXPECT_TRUE(FragmentLine(fragments[i], line));
    lines.push_back(line.TextOrEmpty());
  }
  return lines;
}

TEST(InstalledComponents, FragmentsAreDistinctSortedAndComplete) {
  ProfileDocument document;
  LoadProfile(document,
              "[1]\r\nFragmentFileName = b.dll\r\nFragmentVersion_Win = 50331931\r\n"
              "[2]\r\nFragmentFileName = a.dll\r\nFragmentVersion_Win = 1\r\n"
              "[3]\r\nFragmentFileName = b.dll\r\nFragmentVersion_Win = 2\r\n"          // the first b.dll wins
              "[4]\r\nFragmentFileName = B.dll\r\nFragmentVersion_Win = 0\r\n"          // another name: case counts
              "[5]\r\nFragmentFileName = c.dll\r\n"                                      // no version: left out
              "[6]\r\nFragmentVersion_Win = 3\r\n"                                       // no name: left out
              "[7]\r\nFragmentFileName = d.dll\r\nFragmentFileName = e.dll\r\n"
              "FragmentVersion_Win = 9\r\nFragmentVersion_Win = 16777216\r\n");         // the last of each key
  EXPECT_EQ(FragmentLines(document), (std::vector<std::string>{"B.dll (0.0.0.0)", "a.dll (0.0.0.1)",
                                                              "b.dll (3.0.1.27)", "e.dll (1.0.0.0)"}));
}

TEST(InstalledComponents, EveryDistinctFragmentIsListed) {
  // More fragments than the 200 a fixed table would hold, each named twice.
  std::string text;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 500; ++i) {
      text += "[s]\r\nFragmentFileName = f" + std::to_string(1000 + i) +
              ".dll\r\nFragmentVersion_Win = " + std::to_string(round) + "\r\n";
    }
  }
  ProfileDocument document;
  LoadProfile(document, text);
  std::vector<std::string> lines = FragmentLines(document);
  ASSERT_EQ(lines.size(), 500u);
  EXPECT_EQ(lines.front(), "f1000.dll (0.0.0.0)");
  EXPECT_EQ(lines.back(), "f1499.dll (0.0.0.0)");
}

TEST(InstalledComponents, FragmentVersionsReadLikeAtoi) {
  const struct {
    const char* value;
    const char* text;
  } cases[] = {
      {"50331931", "3.0.1.27"},   {"0", "0.0.0.0"},           {"285212672", "17.0.0.0"},
      {"  \t+16777217x", "1.0.0.1"}, {"-1", "255.255.255.255"}, {"abc", "0.0.0.0"},
      {"", "0.0.0.0"},            {"4294967296", "0.0.0.0"},  {"4294967297", "0.0.0.1"},
      {"99999999999999999999999", "246.127.255.255"},  // wraps around at 32 bits
  };
  for (const auto& c : cases) {
    char text[16] = "unchanged";
    FragmentVersionText(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
}

TEST(InstalledComponents, ComponentLinesNameTheVersionAndThePlace) {
  const struct {
    const char* path;
    uint32_t version;
    const char* folder;
    const char* line;
  } cases[] = {
      {"C:\\Player\\Components\\NpQuillframe3.dll", 0x0300011B, "C:\\Player",
       "(3.0.1.27)     [  ~  ] \\Components\\NpQuillframe3.dll"},
      {"C:\\Player\\a.dll", 0x0300011B, "C:\\Player\\", "(3.0.1.27)     [  ~  ] a.dll"},
      {"C:\\Player\\a.dll", 0, "C:\\Player", "(   .   .   .   )     [  ~  ] \\a.dll"},
      {"D:\\Plugins\\NPQuillframe3.dll", 0xFFFFFFFF, "C:\\Player", "(255.255.255.255)    D:\\Plugins\\NPQuillframe3.dll"},
      {"C:\\player\\a.dll", 0x01000000, "C:\\Player", "(1.0.0.0)    C:\\player\\a.dll"},  // found with case only
      {"C:\\Player\\a.dll", 0x01000000, "", "(1.0.0.0)    C:\\Player\\a.dll"},
  };
  for (const auto& c : cases) {
    String line;
    ASSERT_TRUE(ComponentLine(PathOf(c.path), c.version, c.folder, line)) << c.path;
    EXPECT_STREQ(line.TextOrEmpty(), c.line);
    // The line of the same path given as a text is the same line.
    String fromText;
    ASSERT_TRUE(ComponentLine(c.path, c.version, c.folder, fromText)) << c.path;
    EXPECT_STREQ(fromText.TextOrEmpty(), c.line);
  }
}

// A true name in UTF-8, longer than a path record holds, is placed the same
// way: the folder by its true name too.
TEST(InstalledComponents, ComponentLinesOfTrueNamesOfAnyLength) {
  const std::string folder = "C:\\Player\\\xCE\xA9mega\xE4\xB8\xAD";
  const std::string deep = folder + "\\" + std::string(100, 'd') + "\\" + std::string(100, 'e') + "\\\xE4\xB8\xAD\xE6\x96\x87.dll";
  String line;
  ASSERT_TRUE(ComponentLine(deep.c_str(), 0x01020304, folder.c_str(), line));
  EXPECT_EQ(std::string(line.TextOrEmpty()), "(1.2.3.4)     [  ~  ] " + deep.substr(folder.size()));
  ASSERT_TRUE(ComponentLine((folder + "\\\xCE\xA9mega.dll").c_str(), 0, folder.c_str(), line));
  EXPECT_STREQ(line.TextOrEmpty(), "(   .   .   .   )     [  ~  ] \\\xCE\xA9mega.dll");
}

// The order as the two passes reach it: every record by its bytes, then a
// stable exchange sort on the file name.
void SortByTwoPasses(TypedArray<FixedPath>& files) {
  std::sort(files.data, files.data + files.count,
            [](const FixedPath& a, const FixedPath& b) { return memcmp(&a, &b, sizeof(FixedPath)) < 0; });
  for (int32_t end = files.count - 1; end >= 1; --end) {
    for (int32_t j = 0; j < end; ++j) {
      if (strcmp(FileNameOf(files[j + 1]), FileNameOf(files[j])) < 0) {
        FixedPath swap = files[j];
        files[j] = files[j + 1];
        files[j + 1] = swap;
      }
    }
  }
}

std::vector<std::string> Texts(const TypedArray<FixedPath>& files) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < files.count; ++i) texts.push_back(files[i].Text());
  return texts;
}

TEST(InstalledComponents, FilesSortByNameThenPathAsTheTwoPassesDo) {
  TypedArray<FixedPath> files;
  for (const char* path : {"C:\\P\\b.dll", "C:\\P\\Plugins\\a.dll", "C:\\P\\A.dll", "C:\\P\\a.dll", "noslash.dll"})
    ASSERT_TRUE(AppendPathCopy(files, PathOf(path)));
  ASSERT_TRUE(SortComponentFiles(files));
  // Z.dll before a.dll; one name by full path ('P' before 'a').
  EXPECT_EQ(Texts(files), (std::vector<std::string>{"C:\\P\\A.dll", "C:\\P\\Plugins\\a.dll", "C:\\P\\a.dll",
                                                     "C:\\P\\b.dll", "noslash.dll"}));

  // Random files with many repeated names in several folders, names and
  // folders differing in case and in bytes above 127.
  std::mt19937 random(20261210);
  const char* folders[] = {"C:\\P", "C:\\P\\Components", "C:\\p", "D:\\Plugins\\\xE9t\xE9", "C:\\P\\Plugins"};
  const char* names[] = {"a.dll", "A.dll", "b.dll", "\xC4.dll", "npquillframe3.dll", "NPQuillframe3.dll", "z"};
  for (int size : {0, 1, 2, 15, 16, 17, 300, 2000}) {
    TypedArray<FixedPath> mine;
    TypedArray<FixedPath> reference;
    for (int i = 0; i < size; ++i) {
      std::string path = std::string(folders[random() % 5]) + "\\" + names[random() % 7];
      ASSERT_TRUE(AppendPathCopy(mine, PathOf(path)));
      ASSERT_TRUE(AppendPathCopy(reference, PathOf(path)));
    }
    ASSERT_TRUE(SortComponentFiles(mine));
    SortByTwoPasses(reference);
    EXPECT_EQ(Texts(mine), Texts(reference)) << size;
  }
}

}  // namespace
