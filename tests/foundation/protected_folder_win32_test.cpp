#include "foundation/protected_folder.h"

#include <windows.h>

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

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

struct ProtectionCase {
  std::string path;
  bool protectedFolder;
};

TEST(ProtectedFolderTest, VolumeRootsAndTheWindowsFolderAreProtectedHoweverWritten) {
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
      {windows + "\\system32", false},
      {temp.Path(), false},
      {temp.Path() + "\\", false},
      {temp / "sub\\..", false},
      {temp / "not-yet-made", false},
      {"\\\\server\\share\\folder", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProtectedFolder(PathOf(c.path)), c.protectedFolder) << '"' << c.path << '"';
}

TEST(ProtectedFolderTest, TheRootOfAMappedDriveIsProtected) {
  TempFolder folder;
  DriveMapping drive(folder.Path());
  if (!drive.Mapped()) GTEST_SKIP() << "no drive letter could be mapped here";
  std::string root = drive.Root();
  std::string lower(1, static_cast<char>(tolower(drive.Letter())));
  const std::string cases[] = {root, root + "\\", root.substr(0, 2) + "/", lower + ":\\", root + "sub\\..",
                               root + ".", root + "..\\.."};
  for (const auto& path : cases) EXPECT_TRUE(IsProtectedFolder(PathOf(path))) << path;
  EXPECT_FALSE(IsProtectedFolder(PathOf(root + "sub")));
}

TEST(ProtectedFolderTest, ALinkToTheWindowsFolderIsProtected) {
  TempFolder folder;
  SymbolicLink link(folder / "windows-link", WindowsFolder());
  if (!link.Made()) GTEST_SKIP() << "symbolic links cannot be made here";
  EXPECT_TRUE(IsProtectedFolder(PathOf(folder / "windows-link")));
  EXPECT_TRUE(IsProtectedFolder(PathOf(folder / "windows-link\\")));
  EXPECT_FALSE(IsProtectedFolder(PathOf(folder.Path())));
}

}  // namespace
