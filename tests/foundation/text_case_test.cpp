#include "foundation/text_case.h"

#include <gtest/gtest.h>

namespace {

struct CaseCase {
  const char* a;
  const char* b;
  bool equal;
};

TEST(EqualIgnoringCaseTest, FoldsOnlyLetters) {
  const CaseCase cases[] = {
      {".dll", ".DLL", true}, {"*.*", "*.*", true},  {"", "", true},   {".dll", ".dl", false},
      {".dl", ".dll", false}, {"[", "{", false},      {"@", "`", false}, {"\xC4", "\xE4", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

}  // namespace
