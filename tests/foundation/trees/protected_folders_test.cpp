#include "foundation/trees/protected_folders.h"

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

TEST(UserProfileFolderTextTest, EveryProfileAndTheFoldersKeptInEachAreFound) {
  const struct {
    const char* path;
    bool result;
  } cases[] = {
      {"C:\\Users\\ann", true},
      {"c:\\users\\Bob\\", true},
      {"C:\\Users\\Public", true},
      {"C:\\Users\\ann\\Documents", true},
      {"C:\\Users\\ann\\My Documents", true},
      {"C:\\Users\\ann\\Desktop", true},
      {"C:\\Users\\ann\\AppData", true},
      {"C:\\Users\\ann\\appdata\\roaming", true},
      {"C:\\Users\\ann\\AppData\\Local", true},
      {"C:\\Users\\ann\\AppData\\LocalLow", true},
      {"C:\\Users\\ann\\Application Data", true},
      {"C:\\Users\\ann\\Local Settings\\Application Data", true},
      {"C:/Users/ann/Documents/", true},
      // Folders inside them are a program's own.
      {"C:\\Users\\ann\\AppData\\Roaming\\Player", false},
      {"C:\\Users\\ann\\Documents\\Player", false},
      {"C:\\Users\\ann\\Games", false},
      {"C:\\Users", false},  // the profiles folder itself is protected as a folder above a profile
      {"C:\\UsersX\\ann", false},
      {"D:\\Users\\ann", false},
      {"C:\\Users\\\\", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUserProfileFolderText(c.path, "C:\\Users"), c.result) << c.path;
  EXPECT_TRUE(IsUserProfileFolderText("C:\\Users\\ann", "C:\\Users\\"));
  EXPECT_FALSE(IsUserProfileFolderText("C:\\Users\\ann", ""));
}

TEST(UserProfileFolderTextTest, ExtendedPrefixesOfLocalPathsAreLeftOut) {
  EXPECT_STREQ(WithoutLocalExtendedPrefix("\\\\?\\C:\\Users"), "C:\\Users");
  EXPECT_STREQ(WithoutLocalExtendedPrefix("C:\\Users"), "C:\\Users");
  EXPECT_STREQ(WithoutLocalExtendedPrefix("\\\\?\\UNC\\server\\share"), "\\\\?\\UNC\\server\\share");
  EXPECT_STREQ(WithoutLocalExtendedPrefix("\\\\?\\"), "\\\\?\\");
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
