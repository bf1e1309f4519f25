#include "foundation/code_page.h"
#include "foundation/json_text.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The test's own ANSI text of a character, so that the case holds in any
// system code page the prefix is set to.
bool AnsiOf(const wchar_t* wide, char* ansi, int size) {
  BOOL lost = FALSE;
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, size, nullptr, &lost) > 0 && !lost;
}

TEST(AnsiToUtf8Test, ConvertsTheCodePageTextAndGivesAJsonParserValidText) {
  char ansi[16];
  if (!AnsiOf(L"caf\x00E9", ansi, sizeof ansi)) GTEST_SKIP() << "no \x00E9 in this code page";
  String utf8;
  ASSERT_TRUE(AnsiToUtf8(ansi, utf8));
  EXPECT_STREQ(utf8.TextOrEmpty(), "caf\xC3\xA9");
  String literal;
  ASSERT_TRUE(AppendJsonString(literal, utf8.Text()));
  EXPECT_STREQ(literal.TextOrEmpty(), "\"caf\xC3\xA9\"");
}

TEST(AnsiToUtf8Test, EmptyAndAsciiTexts) {
  String utf8;
  ASSERT_TRUE(utf8.Assign("old"));
  ASSERT_TRUE(AnsiToUtf8("", utf8));
  EXPECT_STREQ(utf8.TextOrEmpty(), "");
  ASSERT_TRUE(AnsiToUtf8("C:\\Program Files\\Player", utf8));
  EXPECT_STREQ(utf8.TextOrEmpty(), "C:\\Program Files\\Player");
}

}  // namespace
