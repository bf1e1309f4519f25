#include "foundation/protected_folder_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RootCase {
  const char* path;
  bool root;
};

TEST(VolumeRootTextTest, RecognisesDriveShareAndDeviceRoots) {
  const RootCase cases[] = {
      {"C:\\", true},
      {"C:", true},
      {"c:\\\\\\", true},
      {"V:/", true},
      {"\\\\server\\share\\", true},
      {"\\\\server\\share", true},
      {"\\\\server", true},
      {"\\\\", true},
      {"\\", true},
      {"", true},
      {"\\\\?\\C:\\", true},
      {"\\\\.\\C:", true},
      {"\\\\?\\UNC\\server\\share\\", true},
      {"\\\\?\\unc\\server\\share", true},
      {"\\\\?\\Volume{0a1b2c3d-0000-0000-0000-100000000000}\\", true},
      {"C:\\Windows", false},
      {"C:\\a\\", false},
      {"\\\\server\\share\\folder", false},
      {"\\\\?\\C:\\folder", false},
      {"\\\\?\\UNC\\server\\share\\folder", false},
      {"\\\\?\\UNCLE\\x", false},
      {"CC:\\", false},
      {"1:\\", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsVolumeRootText(c.path), c.root) << '"' << c.path << '"';
}

struct AncestorCase {
  const char* folder;
  const char* other;
  bool result;
};

TEST(SameOrAncestorFolderTest, ComparesWholeNamesWithoutCaseOrTrailingSeparators) {
  const AncestorCase cases[] = {
      {"C:\\windows", "C:\\windows", true},
      {"c:\\WINDOWS\\", "C:\\windows", true},
      {"C:", "C:\\windows", true},
      {"C:\\", "C:\\windows", true},
      {"C:\\win", "C:\\windows", false},  // a longer name, not a subfolder
      {"C:\\windows\\system32", "C:\\windows", false},
      {"C:/windows", "C:\\windows\\", true},
      {"D:\\windows", "C:\\windows", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsSameOrAncestorFolder(c.folder, c.other), c.result) << c.folder << " / " << c.other;
}

TEST(StripTrailingSeparatorsTest, RemovesEveryTrailingSeparator) {
  char path[] = "C:\\dir\\/\\";
  StripTrailingSeparators(path);
  EXPECT_STREQ(path, "C:\\dir");
  char root[] = "\\\\";
  StripTrailingSeparators(root);
  EXPECT_STREQ(root, "");
}

}  // namespace
