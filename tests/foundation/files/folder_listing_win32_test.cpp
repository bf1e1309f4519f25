#include "foundation/files/folder_listing.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/files/file_stream.h"
#include "support/foreign_names_win32.h"
#include "support/links_win32.h"
#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

constexpr uint32_t LibraryType = FourCharacterCode("shlb");

std::vector<std::string> PathsInOrder(const FileList& list) {
  std::vector<std::string> paths;
  for (const PathNode* node = list.First(); node; node = node->next) paths.push_back(node->path.Text());
  return paths;
}

std::vector<std::string> SortedPaths(const FileList& list) {
  std::vector<std::string> paths = PathsInOrder(list);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string CurrentDirectory() {
  char folder[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  return std::string(folder, length);
}

// A folder with files of several extensions and a subfolder.
class FileListWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : topFiles) ASSERT_TRUE(WriteTextFile(folder / name, name));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\inner.dll", "inner"));
    ASSERT_TRUE(WriteTextFile(folder / "sub\\deeper\\deepest.DLL", "deepest"));
  }

  std::vector<std::string> Top(std::vector<std::string> names) const {
    for (auto& name : names) name = folder / name;
    return Sorted(names);
  }

  TempFolder folder;
  const std::vector<const char*> topFiles = {"a.dll", "B.DLL", "c.Dll", "d.txt", "README", "x.tar.gz", "e.dll.bak"};
};

struct FilterCase {
  const char* filter;  // none: no filter
  std::vector<std::string> files;
};

TEST_F(FileListWalkTest, ListsTheFilesWhoseExtensionMatchesWithoutRegardToCase) {
  const std::vector<std::string> all = {"a.dll", "B.DLL", "c.Dll", "d.txt", "README", "x.tar.gz", "e.dll.bak"};
  const FilterCase cases[] = {
      {".dll", {"a.dll", "B.DLL", "c.Dll"}},
      {".DLL", {"a.dll", "B.DLL", "c.Dll"}},
      {".gz", {"x.tar.gz"}},  // several dots: the last one counts
      {".bak", {"e.dll.bak"}},
      {".exe", {}},
      {"*.*", all},  // every file, those without an extension too
      {"*.*", all},
      {"", all},
      {nullptr, all},
  };
  for (const auto& c : cases) {
    FileList list;
    EXPECT_EQ(list.ListFiles(PathOf(folder.Path()), c.filter, LibraryType, false), StatusOk);
    EXPECT_EQ(SortedPaths(list), Top(c.files)) << (c.filter ? c.filter : "(none)");
  }
}

TEST_F(FileListWalkTest, RecursionAddsTheFilesOfEverySubfolder) {
  FileList flat;
  flat.ListFiles(PathOf(folder.Path()), ".dll", LibraryType, false);
  EXPECT_EQ(SortedPaths(flat), Top({"a.dll", "B.DLL", "c.Dll"}));

  FileList deep;
  deep.ListFiles(PathOf(folder.Path()), ".dll", LibraryType, true);
  EXPECT_EQ(SortedPaths(deep), Top({"a.dll", "B.DLL", "c.Dll", "sub\\inner.dll", "sub\\deeper\\deepest.DLL"}));
}

TEST_F(FileListWalkTest, ATrailingBackslashGivesTheSamePaths) {
  FileList list;
  list.ListFiles(PathOf(folder.Path() + "\\"), "*.*", 0, true);
  EXPECT_EQ(list.Count(), topFiles.size() + 2);
  for (const auto& path : PathsInOrder(list)) {
    EXPECT_EQ(path.find("\\\\"), std::string::npos) << path;
    EXPECT_TRUE(PathExists(path)) << path;
  }
}

TEST_F(FileListWalkTest, TheListRunsFromTheLastFileFoundToTheFirst) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder / "*.*").c_str(), &entry);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.push_back(folder / entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::reverse(found.begin(), found.end());

  FileList list;
  list.ListFiles(PathOf(folder.Path()), nullptr, 0, false);
  EXPECT_EQ(PathsInOrder(list), found);
}

TEST_F(FileListWalkTest, FoldersWithMoreAttributesThanDirectoryAreStillEntered) {
  ASSERT_TRUE(WriteTextFile(folder / "locked\\in-read-only.dll", "x"));
  ASSERT_TRUE(WriteTextFile(folder / "secret\\in-hidden.dll", "x"));
  ASSERT_TRUE(WriteTextFile(folder / "stored\\in-archived.dll", "x"));
  ASSERT_TRUE(SetFileAttributesA((folder / "locked").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA((folder / "secret").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA((folder / "stored").c_str(), FILE_ATTRIBUTE_ARCHIVE));

  FileList list;
  list.ListFiles(PathOf(folder.Path()), ".dll", LibraryType, true);
  std::vector<std::string> paths = SortedPaths(list);
  for (const char* file : {"locked\\in-read-only.dll", "secret\\in-hidden.dll", "stored\\in-archived.dll"})
    EXPECT_NE(std::find(paths.begin(), paths.end(), folder / file), paths.end()) << file;
  // None of the folders is listed as a file.
  for (const char* name : {"locked", "secret", "stored"})
    EXPECT_EQ(std::find(paths.begin(), paths.end(), folder / name), paths.end()) << name;
  SetFileAttributesA((folder / "locked").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileListWalkTest, TheCurrentDirectoryIsPutBack) {
  std::string before = CurrentDirectory();
  FileList list;
  list.ListFiles(PathOf(folder.Path()), ".dll", LibraryType, true);
  EXPECT_EQ(CurrentDirectory(), before);
  // So the listed folder can be removed at once.
  TempFolder other;
  ASSERT_TRUE(MakeFolders(other / "listed"));
  ASSERT_TRUE(WriteTextFile(other / "listed\\f.dll", "x"));
  list.ListFiles(PathOf(other / "listed"), nullptr, 0, true);
  EXPECT_EQ(CurrentDirectory(), before);
  ASSERT_TRUE(DeleteFileA((other / "listed\\f.dll").c_str()));
  EXPECT_TRUE(RemoveDirectoryA((other / "listed").c_str()));
}

TEST(FileListTest, AFolderThatCannotBeEnteredAddsNothing) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "file.dll", "x"));
  std::string before = CurrentDirectory();
  FileList list;
  EXPECT_EQ(list.ListFiles(PathOf(folder / "missing"), nullptr, 0, true), StatusOk);
  EXPECT_EQ(list.ListFiles(PathOf(folder / "file.dll"), nullptr, 0, true), StatusOk);
  EXPECT_EQ(list.ListFiles(FixedPath(), nullptr, 0, true), StatusOk);
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(CurrentDirectory(), before);
}

TEST(FileListTest, ListingAddsToWhatIsAlreadyListed) {
  TempFolder one, two;
  ASSERT_TRUE(WriteTextFile(one / "a.dll", "x"));
  ASSERT_TRUE(WriteTextFile(two / "b.dll", "x"));
  FileList list;
  list.ListFiles(PathOf(one.Path()), ".dll", LibraryType, false);
  list.ListFiles(PathOf(two.Path()), ".dll", LibraryType, false);
  EXPECT_EQ(PathsInOrder(list), (std::vector<std::string>{two / "b.dll", one / "a.dll"}));
}

// A path that SetText would cut names another file: such files are left out.
TEST(FileListTest, FilesWhosePathWouldBeCutAreLeftOut) {
  TempFolder folder;
  std::string deep = folder.Path();
  while (deep.size() < 200) deep += "\\" + std::string(20, 'd');
  ASSERT_TRUE(MakeFolders(deep));
  size_t room = FixedPath::SetTextLimit - deep.size() - 1;  // characters a name may have
  std::string fits = std::string(room - 4, 'f') + ".dll";
  std::string tooLong = std::string(room - 3, 'g') + ".dll";
  ASSERT_TRUE(WriteTextFile(deep + "\\" + fits, "x"));
  ASSERT_TRUE(WriteTextFile(deep + "\\" + tooLong, "x"));

  FileList list;
  list.ListFiles(PathOf(folder.Path()), ".dll", LibraryType, true);
  EXPECT_EQ(PathsInOrder(list), (std::vector<std::string>{deep + "\\" + fits}));
  EXPECT_EQ(list.First() ? list.First()->path.Length() : 0u, FixedPath::SetTextLimit);
}

TEST(FileListTest, TheRootOfADriveGivesPathsWithOneBackslash) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "top.dll", "x"));
  ASSERT_TRUE(WriteTextFile(folder / "sub\\inner.dll", "x"));
  DriveMapping drive(folder.Path());
  if (!drive.Mapped()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine maps drive letters, but this one failed";
    GTEST_SKIP() << "no drive letter could be mapped here";
  }
  FileList list;
  list.ListFiles(PathOf(drive.Root()), ".dll", LibraryType, true);
  EXPECT_EQ(SortedPaths(list), Sorted({drive.Root() + "top.dll", drive.Root() + "sub\\inner.dll"}));
}

TEST(FileListTest, LinksAreNeitherEnteredNorListed) {
  TempFolder folder, outside;
  ASSERT_TRUE(WriteTextFile(folder / "own.dll", "x"));
  ASSERT_TRUE(WriteTextFile(folder / "sub\\inner.dll", "x"));
  ASSERT_TRUE(WriteTextFile(outside / "foreign.dll", "x"));
  ASSERT_TRUE(WriteTextFile(outside / "more\\foreign2.dll", "x"));
  // A loop back to the folder itself, one from its subfolder, one out of the
  // tree, and a link to a library outside it (which Wine shows as a plain file).
  SymbolicLink loop(folder / "loop", folder.Path());
  if (!loop.Made()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
    GTEST_SKIP() << "symbolic links cannot be made here";
  }
  SymbolicLink back(folder / "sub\\back", folder.Path());
  SymbolicLink elsewhere(folder / "elsewhere", outside.Path());
  SymbolicLink library(folder / "sub\\linked.dll", outside / "foreign.dll");
  ASSERT_TRUE(back.Made());
  ASSERT_TRUE(elsewhere.Made());
  ASSERT_TRUE(library.Made());
  ASSERT_NE(GetFileAttributesA((folder / "loop").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

  std::string before = CurrentDirectory();
  FileList list;
  EXPECT_EQ(list.ListFiles(PathOf(folder.Path()), "*.*", 0, true), StatusOk);
  EXPECT_EQ(SortedPaths(list), Sorted({folder / "own.dll", folder / "sub\\inner.dll"}));
  EXPECT_EQ(CurrentDirectory(), before);
}

}  // namespace

// Files named outside the ANSI code page, beside the files whose names the
// code page would make of theirs.
class FileListNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (CodePageHolds(L"\x03A9")) GTEST_SKIP() << "this code page holds the Greek capital omega";
    // Each name of the shared table as a library holding its own name.
    for (const ForeignName& name : ForeignNames)
      ASSERT_TRUE(WriteFileUtf8(folder / (std::string(name.utf8) + ".dll"), name.utf8));
    ASSERT_TRUE(WriteFileUtf8(folder / "Omega.dll", "decoy"));
    ASSERT_TRUE(WriteFileUtf8(folder / "\xCE\xA9x.dllx", "not a library"));
  }

  TempFolder folder;
};

TEST_F(FileListNamesTest, EveryFileIsListedOnceUnderANameThatOpensIt) {
  FileList list;
  FixedPath top;
  top.SetText(folder.Path().c_str());
  list.ListFiles(top, ".dll", LibraryType, false);
  // What each listed path opens: every library once, the decoy as itself,
  // and no file whose name only its short form ends in ".DLL".
  std::vector<std::string> contents;
  for (const std::string& path : PathsInOrder(list)) {
    bool found = false;
    contents.push_back(ReadTextFile(path, &found));
    EXPECT_TRUE(found) << path;
  }
  std::vector<std::string> expected = {"decoy"};
  for (const ForeignName& name : ForeignNames) expected.push_back(name.utf8);
  EXPECT_EQ(Sorted(contents), Sorted(expected));
  EXPECT_TRUE(list.LeftOut().empty());
}
