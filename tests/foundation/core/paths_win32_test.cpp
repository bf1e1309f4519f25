#include "foundation/core/paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

namespace {

// The folder of this test program as Windows reports it, with its backslash.
std::string ProgramFolder() {
  char file[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, file, MAX_PATH);
  std::string path(file, length);
  return path.substr(0, path.rfind('\\') + 1);
}

TEST(ProgramFilePathWin32Test, JoinsTheNameToTheProgramsFolder) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  const struct {
    const char* name;
    std::string result;
  } cases[] = {
      {nullptr, folder},
      {"", folder},
      {"ControlPanelv306.ini", folder + "ControlPanelv306.ini"},
      {"sub/ControlPanelv306.ini", folder + "sub\\ControlPanelv306.ini"},
      {"\\ControlPanelv306.ini", folder + "ControlPanelv306.ini"},
  };
  for (const auto& c : cases) {
    FixedPath out;
    EXPECT_TRUE(ProgramFilePath(out, c.name));
    EXPECT_EQ(std::string(out.Text()), c.result) << (c.name ? c.name : "(none)");
  }
}

TEST(ProgramFilePathWin32Test, AnOverlongNameGivesTheEmptyPath) {
  const std::string names[] = {std::string(260, 'n'), std::string(4000, 'n'),
                               std::string(259 - ProgramFolder().size() + 1, 'n')};
  for (const auto& name : names) {
    FixedPath out;
    out.SetText("stale");
    EXPECT_TRUE(ProgramFilePath(out, name.c_str()));
    EXPECT_STREQ(out.Text(), "") << name.size();
  }
}

}  // namespace
