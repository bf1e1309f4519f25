#include "foundation/files/folder_search_win32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool CodePageHolds(const wchar_t* text) {
  BOOL lost = FALSE;
  char ansi[64];
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, ansi, sizeof ansi, nullptr, &lost) > 0 && !lost;
}

struct ReachCase {
  const wchar_t* name;
  const wchar_t* shortName;  // as the volume keeps it; empty: none
  AnsiReach reach;
  const char* ansi;
};

// The short names are those Wine makes; "ΩMEGA.DLL" stands for a volume
// whose short name the code page cannot hold either.
const ReachCase reachCases[] = {
    {L"plain.dll", L"", AnsiReach::OwnName, "plain.dll"},
    {L"Longer name.dll", L"LONG~EM5.DLL", AnsiReach::OwnName, "Longer name.dll"},
    {L"\x03A9mega.dll", L"_MEG~DAU.DLL", AnsiReach::ShortName, "_MEG~DAU.DLL"},
    {L"\x4E2D\x6587.dll", L"__~~~1GE.DLL", AnsiReach::ShortName, "__~~~1GE.DLL"},
    {L"\x03A9mega.dll", L"", AnsiReach::None, ""},
    {L"\x03A9mega.dll", L"\x03A9MEGA.DLL", AnsiReach::None, ""},
};

TEST(AnsiNameOfTest, TheOwnNameWhenTheCodePageHoldsItElseTheShortNameElseNone) {
  if (CodePageHolds(L"\x03A9") || CodePageHolds(L"\x4E2D")) GTEST_SKIP() << "this code page holds the names";
  for (const ReachCase& c : reachCases) {
    std::string ansi = "old";
    EXPECT_EQ(AnsiNameOf(c.name, c.shortName, &ansi), c.reach) << c.ansi;
    EXPECT_EQ(ansi, c.ansi);
  }
}

TEST(AnsiNameOfTest, ALookAlikeIsNeverTheName) {
  // "Ω" has the best-fit "O" in code page 1252: "Omega.dll" is another file.
  std::string ansi;
  AnsiNameOf(L"\x03A9mega.dll", L"", &ansi);
  EXPECT_NE(ansi, "Omega.dll");
  EXPECT_EQ(ansi.find('?'), std::string::npos);
}

}  // namespace
