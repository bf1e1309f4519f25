#include "foundation/trees/protected_folders.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "support/links_win32.h"
#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

std::string WindowsFolder() {
  char folder[MAX_PATH];
  UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder, length);
}

// A shell folder's path ("" when this system has none), without a trailing backslash.
std::string ShellFolder(int id) {
  char folder[MAX_PATH];
  if (SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return std::string();
  std::string path = folder;
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string ParentOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

struct ProtectionCase {
  std::string path;
  bool protectedFolder;
};

TEST(ProtectedFolderTest, VolumeRootsAndTheWindowsFolderWithEverythingInItAreProtectedHoweverWritten) {
  TempFolder temp;
  std::string windows = WindowsFolder();
  std::string drive = windows.substr(0, 2);  // "C:"
  const ProtectionCase cases[] = {
      {drive + "\\", true},
      {drive + "/", true},
      {drive + "\\\\\\", true},
      {drive + "\\.", true},
      {drive + "\\..\\..", true},
      {windows + "\\..", true},
      {temp / "..\\..\\..\\..\\..\\..\\..\\..", true},
      {"\\\\server\\share\\", true},
      {"\\\\server\\share", true},
      {"\\\\?\\" + drive + "\\", true},
      {"\\\\.\\" + drive + "\\", true},
      {"", true},
      {windows, true},
      {windows + "\\", true},
      {windows + "\\\\", true},
      {Upper(windows), true},
      {windows + "\\system32\\..", true},
      {windows + "\\.\\", true},
      {windows + "\\system32", true},
      {windows + "\\system32\\drivers", true},
      {windows + "\\system32\\drivers\\", true},
      {Upper(windows) + "\\SYSTEM32\\DRIVERS", true},
      {windows + "\\not-yet-made", true},
      {temp / "..\\..\\..\\..\\..\\..\\..\\.." + windows.substr(2) + "\\system32\\drivers", true},
      {windows + "\\system32\\..\\system32\\drivers", true},
      {windows + "\\..\\" + windows.substr(3) + "\\system32", true},
      {windows + "x", false},
      {temp.Path(), false},
      {temp.Path() + "\\", false},
      {temp / "sub\\..", false},
      {temp / "not-yet-made", false},
      {"\\\\server\\share\\folder", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProtectedFolder(PathOf(c.path)), c.protectedFolder) << '"' << c.path << '"';
}

TEST(ProtectedFolderTest, SharedFoldersAndTheFoldersAboveThemAreProtectedButNotTheirSubfolders) {
  const std::string programFiles = ShellFolder(CSIDL_PROGRAM_FILES);
  const std::string profile = ShellFolder(CSIDL_PROFILE);
  const std::string localData = ShellFolder(CSIDL_LOCAL_APPDATA);
  const std::string commonData = ShellFolder(CSIDL_COMMON_APPDATA);
  ASSERT_FALSE(programFiles.empty());
  ASSERT_FALSE(profile.empty());
  ASSERT_FALSE(localData.empty());
  ASSERT_FALSE(commonData.empty());
  char tempText[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, tempText), 0u);
  std::string tempFolder = tempText;
  tempFolder.pop_back();  // its trailing backslash
  TempFolder temp;
  const ProtectionCase cases[] = {
      {programFiles, true},
      {programFiles + "\\", true},
      {Upper(programFiles), true},
      {programFiles + "\\Quillframe\\..", true},
      {programFiles + "\\.", true},
      {ShellFolder(CSIDL_PROGRAM_FILES_COMMON), true},
      {commonData, true},
      {profile, true},
      {ParentOf(profile), true},  // the folder holding every user's profile
      {ShellFolder(CSIDL_PERSONAL), true},
      {ShellFolder(CSIDL_APPDATA), true},
      {ParentOf(ShellFolder(CSIDL_APPDATA)), true},  // above the application data
      {localData, true},
      {ShellFolder(CSIDL_DESKTOPDIRECTORY), true},
      {ShellFolder(CSIDL_COMMON_DOCUMENTS), true},
      {tempFolder, true},
      // A program's own folders inside them may go.
      {programFiles + "\\Quillframe", false},
      {programFiles + "\\Quillframe\\Quillframe3", false},
      {programFiles + "\\Quillframe\\Quillframe3\\", false},
      {ShellFolder(CSIDL_PROGRAM_FILES_COMMON) + "\\Quillframe", false},
      {commonData + "\\Quillframe", false},
      {localData + "\\Quillframe", false},
      {profile + "\\Quillframe", false},
      {temp.Path(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProtectedFolder(PathOf(c.path)), c.protectedFolder) << '"' << c.path << '"';
}

TEST(ProtectedFolderTest, TheRootOfAMappedDriveIsProtected) {
  TempFolder folder;
  DriveMapping drive(folder.Path());
  if (!drive.Mapped()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine maps drive letters, but this one failed";
    GTEST_SKIP() << "no drive letter could be mapped here";
  }
  std::string root = drive.Root();
  std::string lower(1, static_cast<char>(tolower(drive.Letter())));
  const std::string cases[] = {root, root + "\\", root.substr(0, 2) + "/", lower + ":\\", root + "sub\\..",
                               root + ".", root + "..\\.."};
  for (const auto& path : cases) EXPECT_TRUE(IsProtectedFolder(PathOf(path))) << path;
  EXPECT_FALSE(IsProtectedFolder(PathOf(root + "sub")));
}

TEST(ProtectedFolderTest, ALinkToAProtectedFolderIsProtected) {
  TempFolder folder;
  ASSERT_TRUE(MakeFolders(folder / "own"));
  const struct {
    std::string name;
    std::string target;
    bool protectedFolder;
  } links[] = {
      {"windows-link", WindowsFolder(), true},
      {"drivers-link", WindowsFolder() + "\\system32\\drivers", true},
      {"program-files-link", ShellFolder(CSIDL_PROGRAM_FILES), true},
      {"profile-link", ShellFolder(CSIDL_PROFILE), true},
      {"own-link", folder / "own", false},
  };
  for (const auto& l : links) {
    SymbolicLink link(folder / l.name, l.target);
    if (!link.Made()) {
      ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed: " << l.name;
      GTEST_SKIP() << "symbolic links cannot be made here";
    }
    EXPECT_EQ(IsProtectedFolder(PathOf(folder / l.name)), l.protectedFolder) << l.name;
    EXPECT_EQ(IsProtectedFolder(PathOf(folder / l.name + "\\")), l.protectedFolder) << l.name;
    // Inside the linked Windows folder is inside the Windows folder.
    if (l.name == "windows-link") EXPECT_TRUE(IsProtectedFolder(PathOf(folder / "windows-link\\system32")));
  }
  EXPECT_FALSE(IsProtectedFolder(PathOf(folder.Path())));
}

}  // namespace
