#include "foundation/files/folder_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> PathsOf(const FileList& list) {
  std::vector<std::string> paths;
  for (const PathNode* node = list.First(); node; node = node->next) paths.push_back(node->path.Text());
  return paths;
}

struct FilterCase {
  const char* filter;
  const char* fileName;
  bool matches;
};

TEST(FileListTest, FilterComparesTheExtensionWithoutRegardToCase) {
  const FilterCase cases[] = {
      {".dll", "a.dll", true},       {".DLL", "a.dll", true},      {".dll", "A.DLL", true},
      {".dll", "a.dl", false},       {".dll", "a.dlls", false},    {".dll", "a.dll.bak", false},
      {".dll", "README", false},     {".gz", "x.tar.gz", true},    {".tar.gz", "x.tar.gz", false},
      {"*.*", "README", true},       {"*.*", "a.dll", true},       {"*.*", "a.", true},
      {"", "README", true},          {nullptr, "README", true},    {".", "a.", true},
      {".", "README", false},        {"dll", "a.dll", false},
  };
  for (const auto& c : cases) {
    FileList list;
    list.SetFilter(c.filter);
    EXPECT_EQ(list.Matches(c.fileName), c.matches) << (c.filter ? c.filter : "(none)") << " / " << c.fileName;
  }
}

TEST(FileListTest, MatchAllIsSetForNoneEmptyAndStarDotStarInAnyCase) {
  FileList list;
  const char* all[] = {nullptr, "", "*.*"};
  for (const char* filter : all) {
    list.SetFilter(filter);
    EXPECT_TRUE(list.MatchesAll());
  }
  list.SetFilter(".dll");
  EXPECT_FALSE(list.MatchesAll());
  list.SetFilter("*.DLL");
  EXPECT_FALSE(list.MatchesAll());
  EXPECT_FALSE(list.Matches("a.dll"));  // "*.DLL" is an extension of its own
}

TEST(FileListTest, AFilterLongerThanTheKeptTextMatchesNothing) {
  std::string filter = "." + std::string(FileList::FilterBytes + 10, 'x');
  FileList list;
  list.SetFilter(filter.c_str());
  // The kept text is cut, but a name ending in that cut text is no match.
  std::string endsInKeptText = "a." + std::string(FileList::FilterBytes - 2, 'x');
  EXPECT_FALSE(list.Matches(endsInKeptText.c_str()));
  EXPECT_FALSE(list.Matches(("a" + filter).c_str()));
  EXPECT_FALSE(list.Matches("a.x"));
  EXPECT_FALSE(list.Matches("README"));
}

TEST(FileListTest, PathsAreAddedAtTheHead) {
  FileList list;
  EXPECT_TRUE(list.IsAlive());
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.AddPath("C:\\first.dll"), StatusOk);
  EXPECT_EQ(list.AddPath("C:\\second.dll"), StatusOk);
  EXPECT_EQ(list.AddPath("C:\\third.dll"), StatusOk);
  EXPECT_EQ(PathsOf(list), (std::vector<std::string>{"C:\\third.dll", "C:\\second.dll", "C:\\first.dll"}));
  EXPECT_EQ(list.Count(), 3u);
}

TEST(FileListTest, AddedPathsKeepAtMost256Characters) {
  FileList list;
  std::string longPath = "C:\\" + std::string(300, 'p');
  ASSERT_EQ(list.AddPath(longPath.c_str()), StatusOk);
  EXPECT_EQ(std::string(list.First()->path.Text()), longPath.substr(0, 256));
}

TEST(FileListTest, ClearFreesEveryNodeAndMarksTheListNotAlive) {
  FileList list;
  for (int i = 0; i < 100; ++i) ASSERT_EQ(list.AddPath("C:\\x"), StatusOk);
  list.ClearFileList();
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_FALSE(list.IsAlive());
  list.ClearFileList();  // clearing twice is harmless
  EXPECT_EQ(list.First(), nullptr);
}

}  // namespace
