// The tests' own temporary folders: a test that cannot have its folder must
// not run on an empty path, which names the current drive's root.
#include "support/temp_folder_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(TempFolderTest, IsAFreshFolderUnderTheTemporaryFolder) {
  char base[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, base), 0u);
  std::string path;
  {
    TempFolder folder;
    path = folder.Path();
    EXPECT_EQ(path.rfind(base, 0), 0u) << path;
    EXPECT_GT(path.size(), strlen(base));
    DWORD attributes = GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  EXPECT_FALSE(PathExists(path));
}

TEST(TempFolderDeathTest, EndsTheProgramWhenTheFolderCannotBeMade) {
  EXPECT_DEATH(
      {
        // The temporary folder named by TMP does not exist.
        SetEnvironmentVariableA("TMP", "C:\\cpanel no such folder\\deeper\\");
        TempFolder folder;
      },
      "TempFolder: cannot make");
}

}  // namespace
