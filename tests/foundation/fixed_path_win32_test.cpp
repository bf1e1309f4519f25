#include "foundation/fixed_path.h"

#include <gtest/gtest.h>

#include "support/temp_folder_win32.h"

namespace {

TEST(FixedPathWin32Test, ExistsAndIsFolderSeeFilesAndFolders) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "file.txt", "x"));
  const struct {
    std::string path;
    bool exists, isFolder;
  } cases[] = {
      {folder.Path(), true, true},
      {folder / "file.txt", true, false},
      {folder / "missing", false, false},
  };
  for (const auto& c : cases) {
    FixedPath path;
    path.SetText(c.path.c_str());
    EXPECT_EQ(path.Exists(), c.exists) << c.path;
    EXPECT_EQ(path.IsFolder(), c.isFolder) << c.path;
  }
}

}  // namespace
