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

TEST(StartsWithIgnoringCaseTest, ComparesLettersOnlyWithoutCase) {
  const struct {
    const char* text;
    const char* prefix;
    bool starts;
  } cases[] = {
      {"ABCdef", "abc", true},
      {"abc", "", true},
      {"ab", "abc", false},
      // Only A-Z fold: "[" (after Z) is not "{" (after z).
      {"[", "{", false},
      {"\xC4", "\xE4", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StartsWithIgnoringCase(c.text, c.prefix), c.starts) << c.text << " / " << c.prefix;
}

}  // namespace
