#include "foundation/trees/tree_walk_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "foundation/core/code_page.h"
#include "support/fixtures_win32.h"
#include "support/temp_folder_win32.h"

namespace {

// The form the loader takes: a path shorter than MAX_PATH without the
// extended-length prefix; a longer one in its short form, which names the
// same file; none for a long path that has no short form (it does not exist).
TEST(ShortEnoughPathTest, APathTheLoaderTakesOrNone) {
  TempFolder folder;
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", folder / "AxQuillframe3.dll"));
  WidePath path;
  ASSERT_TRUE(path.SetFromAnsi(folder.Path().c_str()));
  const uint32_t folderLength = path.Length();
  ASSERT_TRUE(path.Append(L"AxQuillframe3.dll"));
  EXPECT_EQ(ShortEnoughPath(path), WideOfAnsi((folder / "AxQuillframe3.dll").c_str()));

  // A folder whose name takes the library's path past MAX_PATH.
  path.Cut(folderLength);
  ASSERT_TRUE(path.Append(std::wstring(MAX_PATH - folder.Path().size(), L'f').c_str()));
  ASSERT_TRUE(CreateDirectoryW(path.Text(), nullptr));
  ASSERT_TRUE(path.Append(L"AxQuillframeLong.dll"));
  EXPECT_EQ(ShortEnoughPath(path), L"") << "no such file yet";
  ASSERT_TRUE(CopyFileW(WideOfAnsi(FixturePath("PlayerControl.dll").c_str()).c_str(), path.Text(), FALSE));
  const std::wstring shortForm = ShortEnoughPath(path);
  ASSERT_FALSE(shortForm.empty());
  EXPECT_LT(shortForm.size(), size_t(MAX_PATH));
  EXPECT_NE(shortForm.compare(0, 4, L"\\\\?\\"), 0) << "no extended-length prefix";
  HMODULE library = LoadLibraryExW(shortForm.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  EXPECT_NE(library, nullptr) << "the short form names the library";
  if (library) FreeLibrary(library);
}

}  // namespace
