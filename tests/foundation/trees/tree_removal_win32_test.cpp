#include "foundation/trees/tree_removal.h"
#include "foundation/trees/link_sweep.h"
#include "foundation/trees/shell_delete.h"
#include "foundation/trees/tree_contents.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/trees/protected_folders.h"
#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/links_win32.h"
#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

// A tree of files and folders, a read-only file and a hidden folder among them.
void MakeTree(const std::string& folder) {
  ASSERT_TRUE(WriteTextFile(folder + "\\a.dll", "a"));
  ASSERT_TRUE(WriteTextFile(folder + "\\README", "r"));
  ASSERT_TRUE(WriteTextFile(folder + "\\sub\\b.txt", "b"));
  ASSERT_TRUE(WriteTextFile(folder + "\\sub\\deeper\\c.ini", "c"));
  ASSERT_TRUE(MakeFolders(folder + "\\empty"));
  ASSERT_TRUE(WriteTextFile(folder + "\\locked.dll", "l"));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\locked.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA((folder + "\\sub").c_str(), FILE_ATTRIBUTE_HIDDEN));
}

std::string WindowsFolder() {
  char folder[MAX_PATH];
  UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder, length);
}

TEST(RemoveTreeTest, RemovesContentsAndFolderWhateverTheTrailingSeparators) {
  const char* endings[] = {"", "\\", "\\\\", "\\\\\\", "/", "\\/"};
  for (const char* ending : endings) {
    TempFolder temp;
    std::string tree = temp / "tree";
    MakeTree(tree);
    EXPECT_EQ(RemoveTree(PathOf(tree + ending), true, true), StatusOk) << '"' << ending << '"';
    EXPECT_FALSE(PathExists(tree)) << '"' << ending << '"';
    EXPECT_TRUE(PathExists(temp.Path()));  // the folder above stays
  }
}

TEST(RemoveTreeTest, ContentsOnlyLeavesTheEmptyFolder) {
  TempFolder temp;
  std::string tree = temp / "tree";
  MakeTree(tree);
  // Wine's shell refuses read-only files matched by a pattern (Windows's
  // deletes them); the removal of contents and folder takes them either way.
  ASSERT_TRUE(SetFileAttributesA((tree + "\\locked.dll").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(RemoveTree(PathOf(tree + "\\"), true, false), StatusOk);
  EXPECT_TRUE(PathExists(tree));
  EXPECT_TRUE(TreeContents(tree).empty());
}

TEST(RemoveTreeTest, FolderOnlyRemovesAnEmptyFolderButNeverAFullOne) {
  TempFolder temp;
  std::string tree = temp / "tree";
  MakeTree(tree);
  std::vector<std::string> before = TreeContents(tree);
  EXPECT_EQ(RemoveTree(PathOf(tree), false, true), StatusIoError);
  EXPECT_EQ(TreeContents(tree), before);

  ASSERT_TRUE(MakeFolders(temp / "empty"));
  EXPECT_EQ(RemoveTree(PathOf(temp / "empty\\"), false, true), StatusOk);
  EXPECT_FALSE(PathExists(temp / "empty"));
}

TEST(RemoveTreeTest, NeitherFlagChangesNothing) {
  TempFolder temp;
  MakeTree(temp / "tree");
  std::vector<std::string> before = TreeContents(temp.Path());
  EXPECT_EQ(RemoveTree(PathOf(temp / "tree"), false, false), StatusOk);
  EXPECT_EQ(TreeContents(temp.Path()), before);
}

TEST(RemoveTreeTest, AMissingFolderIsAFailure) {
  TempFolder temp;
  EXPECT_EQ(RemoveTree(PathOf(temp / "missing"), true, true), StatusIoError);
  EXPECT_EQ(RemoveTree(PathOf(temp / "missing"), false, true), StatusIoError);
}

TEST(RemoveTreeTest, AnEmptyFolderTextIsRefused) {
  TempFolder temp;
  MakeTree(temp / "tree");
  std::vector<std::string> before = TreeContents(temp.Path());
  // Without the refusal the pattern would be "*.*" in the current directory.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA((temp / "tree").c_str()));
  Status status = RemoveTree(FixedPath(), true, true);
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(status, StatusIoError);
  EXPECT_EQ(TreeContents(temp.Path()), before);
}

TEST(RemoveTreeTest, AVolumeRootIsRefusedAndEveryFileSurvives) {
  TempFolder temp;
  MakeTree(temp.Path());
  DriveMapping drive(temp.Path());
  if (!drive.Mapped()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine maps drive letters, but this one failed";
    GTEST_SKIP() << "no drive letter could be mapped here";
  }
  std::vector<std::string> before = TreeContents(temp.Path());
  std::string root = drive.Root();
  const std::string spellings[] = {root, root + "\\", root.substr(0, 2) + "/", root + "sub\\..", root + "."};
  for (const auto& spelling : spellings) {
    // The guard is asked first, so a broken guard cannot reach the removal.
    ASSERT_TRUE(IsProtectedFolder(PathOf(spelling))) << spelling;
    EXPECT_EQ(RemoveTree(PathOf(spelling), true, true), StatusIoError) << spelling;
    EXPECT_EQ(RemoveTree(PathOf(spelling), true, false), StatusIoError) << spelling;
    EXPECT_EQ(RemoveTree(PathOf(spelling), false, true), StatusIoError) << spelling;
    EXPECT_EQ(TreeContents(temp.Path()), before) << spelling;
  }
}

TEST(RemoveTreeTest, TheWindowsFolderIsRefusedAndEveryFileSurvives) {
  std::string windows = WindowsFolder();
  std::vector<std::string> before = TreeContents(windows + "\\system32\\drivers");
  ASSERT_FALSE(before.empty());
  for (const std::string& spelling :
       {windows, windows + "\\", windows + "\\system32\\..", windows + "\\system32\\drivers"}) {
    ASSERT_TRUE(IsProtectedFolder(PathOf(spelling))) << spelling;
    EXPECT_EQ(RemoveTree(PathOf(spelling), true, true), StatusIoError) << spelling;
  }
  EXPECT_EQ(TreeContents(windows + "\\system32\\drivers"), before);
  EXPECT_TRUE(PathExists(windows + "\\win.ini"));
}

TEST(RemoveTreeTest, ALinkToTheWindowsFolderIsRefused) {
  TempFolder temp;
  SymbolicLink link(temp / "windows-link", WindowsFolder());
  if (!link.Made()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
    GTEST_SKIP() << "symbolic links cannot be made here";
  }
  ASSERT_TRUE(IsProtectedFolder(PathOf(temp / "windows-link")));
  EXPECT_EQ(RemoveTree(PathOf(temp / "windows-link"), true, true), StatusIoError);
  EXPECT_TRUE(PathExists(WindowsFolder() + "\\win.ini"));
}

// Links inside the tree: to a folder outside it, to a file outside it, and a
// loop back into the tree. Their targets must survive whatever happens.
TEST(RemoveTreeTest, LinksInsideTheTreeAreNeverFollowed) {
  TempFolder temp, outside;
  std::string tree = temp / "tree";
  MakeTree(tree);
  ASSERT_TRUE(WriteTextFile(outside / "kept.txt", "k"));
  ASSERT_TRUE(WriteTextFile(outside / "inner\\kept.dll", "k"));
  ASSERT_TRUE(MakeFolders(outside / "empty"));
  ASSERT_TRUE(WriteTextFile(outside / "single.dll", "s"));
  std::vector<std::string> outsideBefore = TreeContents(outside.Path());

  SymbolicLink toFolder(tree + "\\sub\\to-folder", outside.Path());
  if (!toFolder.Made()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
    GTEST_SKIP() << "symbolic links cannot be made here";
  }
  SymbolicLink toEmpty(tree + "\\to-empty", outside / "empty");
  SymbolicLink toFile(tree + "\\to-file.dll", outside / "single.dll");
  SymbolicLink loop(tree + "\\loop", tree);
  ASSERT_TRUE(toEmpty.Made() && toFile.Made() && loop.Made());
  std::vector<std::string> treeBefore = TreeContents(tree);

  Status status = RemoveTree(PathOf(tree), true, true);
  EXPECT_EQ(TreeContents(outside.Path()), outsideBefore);
  EXPECT_EQ(ReadTextFile(outside / "single.dll"), "s");
  if (IsRunningUnderWine()) {
    // Wine reaches a link's target with every call that removes or renames,
    // so no link can be removed by itself: the tree is refused whole.
    EXPECT_EQ(status, StatusIoError);
    EXPECT_EQ(TreeContents(tree), treeBefore);
  } else {
    EXPECT_EQ(status, StatusOk);
    EXPECT_FALSE(PathExists(tree));
  }
}

// A link to a file outside: Wine shows it as a plain file, and deleting it
// there deletes the target; it is found by where it leads.
TEST(RemoveTreeTest, ALinkToAFileOutsideIsNeverFollowed) {
  TempFolder temp, outside;
  std::string tree = temp / "tree";
  ASSERT_TRUE(WriteTextFile(tree + "\\own.dll", "o"));
  ASSERT_TRUE(MakeFolders(tree + "\\sub"));
  ASSERT_TRUE(WriteTextFile(outside / "single.dll", "s"));
  SymbolicLink toFile(tree + "\\sub\\to-file.dll", outside / "single.dll");
  if (!toFile.Made()) {
    ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
    GTEST_SKIP() << "symbolic links cannot be made here";
  }
  std::vector<std::string> treeBefore = TreeContents(tree);

  Status status = RemoveTree(PathOf(tree), true, true);
  EXPECT_EQ(ReadTextFile(outside / "single.dll"), "s");
  if (IsRunningUnderWine()) {
    EXPECT_EQ(status, StatusIoError);
    EXPECT_EQ(TreeContents(tree), treeBefore);
  } else {
    EXPECT_EQ(status, StatusOk);
    EXPECT_FALSE(PathExists(tree));
  }
}

// A tree that is itself a link (a symbolic link or a junction): whatever the
// removal is asked, what the link leads to keeps every entry; the link goes
// as itself when the folder is to go and the platform can remove a link by
// itself (Wine cannot: the removal is refused).
TEST(RemoveTreeTest, ATreeThatIsItselfALinkIsNeverFollowed) {
  const struct {
    bool contents, folder;
  } modes[] = {{true, true}, {true, false}, {false, true}};
  for (const LinkKind kind : {LinkKind::Symbolic, LinkKind::Junction}) {
    for (const auto& mode : modes) {
      SCOPED_TRACE(std::string(kind == LinkKind::Junction ? "junction" : "symbolic link") +
                   (mode.contents ? ", contents" : "") + (mode.folder ? ", folder" : ""));
      TempFolder temp, outside;
      MakeTree(outside / "target");
      const std::vector<std::string> before = TreeContents(outside.Path());
      SymbolicLink link(temp / "link", outside / "target", kind);
      if (!link.Made()) {
        ASSERT_FALSE(IsRunningUnderWine()) << "Wine makes links, but this one failed";
        continue;  // this account cannot make such a link
      }
      const Status status = RemoveTree(PathOf(temp / "link"), mode.contents, mode.folder);
      EXPECT_EQ(TreeContents(outside.Path()), before);
      const bool linkGoes = mode.folder && !IsRunningUnderWine();
      EXPECT_EQ(status, linkGoes ? StatusOk : StatusIoError);
      EXPECT_EQ(PathExists(temp / "link"), !linkGoes);
    }
  }
}

// A folder of the tree that cannot be listed (another program holds it and
// shares nothing): it stays with what it holds and the folders above it;
// everything else goes.
TEST(RemoveTreeTest, AFolderThatCannotBeListedStaysWithTheFoldersAboveIt) {
  TempFolder temp;
  const std::string tree = temp / "tree";
  MakeTree(tree);
  ASSERT_TRUE(WriteTextFile(tree + "\\sub\\held\\inside.txt", "i"));
  {
    HeldFile held(tree + "\\sub\\held", 0);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_EQ(RemoveTree(PathOf(tree), true, true), StatusIoError);
  }
  EXPECT_EQ(TreeContents(tree), (std::vector<std::string>{tree + "\\sub", tree + "\\sub\\held",
                                                          tree + "\\sub\\held\\inside.txt"}));
}

TEST(FolderIsEmptyTest, CountsFilesAnywhereInTheTree) {
  TempFolder folder;
  ASSERT_TRUE(MakeFolders(folder / "a\\b\\c"));
  ASSERT_TRUE(MakeFolders(folder / "d"));
  EXPECT_TRUE(FolderIsEmpty(PathOf(folder.Path())));
  EXPECT_FALSE(FolderIsEmpty(PathOf(folder / "missing"))) << "a folder that cannot be listed";
  ASSERT_TRUE(WriteTextFile(folder / "a\\b\\c\\deep.txt", ""));
  EXPECT_FALSE(FolderIsEmpty(PathOf(folder.Path())));
  EXPECT_FALSE(FolderIsEmpty(PathOf(folder / "a")));
  EXPECT_TRUE(FolderIsEmpty(PathOf(folder / "d")));
}

TEST(FolderIsEmptyTest, SeesEveryNameAndEveryPathLength) {
  const std::wstring deep = L"\\" + std::wstring(130, L'd') + L"\\" + std::wstring(130, L'f') + L".txt";
  for (const std::wstring& file : {std::wstring(L"\\\u03A9mega\\a.txt"), std::wstring(L"\\\u65E5\u672C.txt"), deep}) {
    TempFolder folder;
    const std::wstring base = L"\\\\?\\" + std::wstring(folder.Path().begin(), folder.Path().end());
    for (size_t at = file.find(L'\\', 1); at != std::wstring::npos; at = file.find(L'\\', at + 1))
      ASSERT_TRUE(CreateDirectoryW((base + file.substr(0, at)).c_str(), nullptr));
    HANDLE handle = CreateFileW((base + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    EXPECT_FALSE(FolderIsEmpty(PathOf(folder.Path())));
  }
}

}  // namespace
