#include "foundation/fixed_path.h"

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

TEST(FixedPathTest, FileNamePart) {
  const struct {
    const char* path;
    const char* name;  // none expected when null
  } cases[] = {
      {"C:\\dir\\f.txt", "f.txt"}, {"C:\\dir\\", nullptr}, {"\\only", nullptr},
      {"noslash", nullptr},        {"", nullptr},          {"a\\b", "b"},
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
