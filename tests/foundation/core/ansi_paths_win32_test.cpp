#include "foundation/core/ansi_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "foundation/core/code_page.h"
#include "support/temp_folder_win32.h"

namespace {

// A folder named outside the code page and one whose long name the code page
// holds, each with a file, inside a fresh temporary folder.
class AnsiPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string ansi;
    if (ExactAnsiOfWide(L"\x03A9", &ansi)) GTEST_SKIP() << "this code page holds the Greek capital omega";
    top = WideOfAnsi(folder.Path().c_str());
    for (const std::wstring& name : {std::wstring(L"\x03A9mega\x4E2D"), std::wstring(L"Longer name")}) {
      ASSERT_TRUE(CreateDirectoryW((top + L"\\" + name).c_str(), nullptr));
      HANDLE file = CreateFileW((top + L"\\" + name + L"\\a.dll").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    }
  }

  TempFolder folder;
  std::wstring top;
};

TEST_F(AnsiPathsTest, AFolderOutsideTheCodePageIsReachedThroughItsShortFormAndShownByItsTrueName) {
  const std::wstring stored = top + L"\\\x03A9mega\x4E2D";
  std::string ansi;
  ASSERT_TRUE(AnsiPathOf(stored.c_str(), &ansi));
  EXPECT_EQ(ansi.find('?'), std::string::npos) << ansi;
  const DWORD attributes = GetFileAttributesA(ansi.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << ansi;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(TruePathUtf8(ansi.c_str()), Utf8OfWide(stored.c_str()));
  EXPECT_EQ(TruePathUtf8((ansi + "\\a.dll").c_str()), Utf8OfWide((stored + L"\\a.dll").c_str()));
}

TEST_F(AnsiPathsTest, PathsTheCodePageHoldsKeepTheirText) {
  std::string ansi;
  ASSERT_TRUE(AnsiPathOf((top + L"\\Longer name").c_str(), &ansi));
  EXPECT_EQ(ansi, folder / "Longer name");
  // A short form the program was given stays as it is: only names outside
  // the code page are lengthened.
  wchar_t shortForm[MAX_PATH];
  ASSERT_GT(GetShortPathNameW((top + L"\\Longer name\\a.dll").c_str(), shortForm, MAX_PATH), 0u);
  const std::string given = Utf8OfWide(shortForm);
  EXPECT_EQ(TruePathUtf8(given.c_str()), given);
  // A path that does not exist is its text converted.
  EXPECT_EQ(TruePathUtf8("C:\\no such folder\\x.dll"), "C:\\no such folder\\x.dll");
}

TEST(AnsiPathOfTest, APathThatDoesNotExistHasNoShortForm) {
  std::string ansi = "old";
  EXPECT_FALSE(AnsiPathOf(L"C:\\no such folder\\\x03A9", &ansi));
  EXPECT_EQ(ansi, "");
}

}  // namespace
