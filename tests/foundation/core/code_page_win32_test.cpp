#include "foundation/core/code_page.h"
#include "foundation/core/json_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>

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

namespace {

// The oracle: a text the code page holds comes back the same from a round
// trip through it.
bool RoundTrips(const wchar_t* wide) {
  char ansi[64];
  wchar_t back[64];
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr) > 0 &&
         MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, 64) > 0 && wcscmp(back, wide) == 0;
}

TEST(ExactAnsiOfWideTest, RefusesLookAlikesAndKeepsWhatTheCodePageHolds) {
  const wchar_t* const texts[] = {L"C:\\Program Files\\Player", L"caf\x00E9", L"\x03A9mega", L"\x4E2D\x6587",
                                  L"\x0416", L"a?b", L""};
  for (const wchar_t* text : texts) {
    std::string ansi = "old";
    const bool exact = ExactAnsiOfWide(text, &ansi);
    EXPECT_EQ(exact, RoundTrips(text)) << Utf8OfWide(text);
    if (exact) {
      EXPECT_EQ(WideOfAnsi(ansi.c_str()), text);
    } else {
      EXPECT_EQ(ansi, "");
    }
  }
}

// A command line's argument, typed as UTF-8, in the code page only when the
// code page holds it as it is: never "Omega" for "Ωmega".
TEST(ExactAnsiOfUtf8Test, HoldsWhatTheCodePageHoldsAndNothingElse) {
  const struct {
    const char* utf8;
    const wchar_t* wide;
  } cases[] = {
      {"https://a.example/", L"https://a.example/"}, {"caf\xC3\xA9", L"caf\x00E9"}, {"\xCE\xA9mega", L"\x03A9mega"},
      {"\xE4\xB8\xAD\xE6\x96\x87", L"\x4E2D\x6587"}, {"\xD0\x96", L"\x0416"}, {"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideOfUtf8(c.utf8), c.wide) << c.utf8;
    std::string ansi = "old";
    std::string fromWide;
    const bool held = ExactAnsiOfWide(c.wide, &fromWide);
    EXPECT_EQ(ExactAnsiOfUtf8(c.utf8, &ansi), held) << c.utf8;
    EXPECT_EQ(ansi, fromWide) << c.utf8;
  }
  // Bytes that are not UTF-8 name nothing.
  std::string ansi = "old";
  EXPECT_FALSE(ExactAnsiOfUtf8("caf\xE9", &ansi));
  EXPECT_EQ(ansi, "");
  EXPECT_EQ(WideOfUtf8("caf\xE9"), L"");
}

TEST(CodePageTest, WideCharactersConvertToUtf8) {
  const struct {
    const wchar_t* wide;
    const char* utf8;
  } cases[] = {
      {L"C:\\Player\\\x03A9mega\x4E2D", "C:\\Player\\\xCE\xA9mega\xE4\xB8\xAD"},
      {L"\x0416.dll", "\xD0\x96.dll"},
      {L"plain", "plain"},
      {L"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8OfWide(c.wide), c.utf8);
}

}  // namespace
