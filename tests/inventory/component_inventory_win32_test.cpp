// Verification of real libraries, with their version resources, against
// version-list files.
#include "inventory/component_inventory.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/files/folder_listing.h"
#include "support/fixtures_win32.h"
#include "support/navigator_keys_win32.h"
#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

std::string ListOf(const std::string& name, const std::string& version) {
  return "[DLL_Versions]\r\nDLL = " + name + "\r\nVersion = " + version + "\r\n";
}

struct VerifyCase {
  const char* what;
  const char* fixture;  // copied into the component folder as NpQuillframe3.dll
  std::string list;
  int32_t code;
};

const VerifyCase verifyCases[] = {
    {"the listed version", "VersionSpaced.dll", ListOf("NpQuillframe3", "3.0.1.27"), 0},
    {"the next version", "VersionNext.dll", ListOf("NpQuillframe3", "3.0.1.27"), 1},
    {"the comma form of the version", "VersionSpaced.dll", ListOf("NpQuillframe3", "3, 0, 1, 27"), 1},
    {"a leading zero", "VersionSpaced.dll", ListOf("NpQuillframe3", "3.0.01.27"), 1},
    {"the fixed part's version", "VersionSpaced.dll", ListOf("NpQuillframe3", "9.9.9.9"), 1},
    {"no version resource, listed as 0", "NoVersion.dll", ListOf("NpQuillframe3", "0"), 0},
    {"no version resource, listed with one", "NoVersion.dll", ListOf("NpQuillframe3", "3.0.1.27"), 1},
    {"a dotted version string, listed as 0", "VersionDotted.dll", ListOf("NpQuillframe3", "0"), 0},
    {"an overflowing field", "VersionOverflow.dll", ListOf("NpQuillframe3", "10.0.1.44"), 0},
    {"the name in other case", "VersionSpaced.dll", ListOf("npquillframe3", "3.0.1.27"), 1},
    {"lower-case keys", "VersionSpaced.dll", "[DLL_Versions]\r\ndll = NpQuillframe3\r\nversion = 3.0.1.27\r\n", -3},
    {"a name without its version", "VersionSpaced.dll", "[DLL_Versions]\r\nDLL = NpQuillframe3\r\n", -3},
    {"an empty list", "VersionSpaced.dll", "", -3},
};

class VerifyVersionListTest : public testing::Test {
 protected:
  void TearDown() override { ComponentFiles.ClearArray(); }
  std::string Folder() const { return root_ / "Player"; }
  TempFolder root_;
};

TEST_F(VerifyVersionListTest, ComparesTheProductVersionTextOfRealLibraries) {
  ASSERT_TRUE(MakeFolders(Folder()));
  std::string library = Folder() + "\\NpQuillframe3.dll";
  std::string list = root_ / "list.txt";
  for (const auto& c : verifyCases) {
    ASSERT_TRUE(CopyFileA(FixturePath(c.fixture).c_str(), library.c_str(), FALSE)) << c.fixture;
    ASSERT_TRUE(WriteTextFile(list, c.list));
    FixedPath listPath = PathOf(list);
    EXPECT_EQ(InventoryComponents(PathOf(Folder()), &listPath), c.code) << c.what;
  }
}

TEST_F(VerifyVersionListTest, AListThatCannotBeReadGivesNoPairs) {
  ASSERT_TRUE(MakeFolders(Folder()));
  ASSERT_TRUE(CopyFileA(FixturePath("VersionSpaced.dll").c_str(), (Folder() + "\\a.dll").c_str(), FALSE));
  ASSERT_TRUE(MakeFolders(root_ / "a folder"));
  for (const std::string& list : {root_ / "missing.txt", root_ / "a folder", std::string()}) {
    FixedPath listPath = PathOf(list);
    EXPECT_EQ(InventoryComponents(PathOf(Folder()), &listPath), VersionListUnusable) << list;
  }
}

TEST_F(VerifyVersionListTest, ChecksThePairsInOrderAcrossTheScannedFolders) {
  // Components\a.dll is 3.0.1.27, Plugins\b.dll has no version, c.dll is 1.2.3.4.
  ASSERT_TRUE(MakeFolders(Folder() + "\\Components"));
  ASSERT_TRUE(MakeFolders(Folder() + "\\Plugins"));
  ASSERT_TRUE(CopyFileA(FixturePath("VersionSpaced.dll").c_str(), (Folder() + "\\Components\\a.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(FixturePath("NoVersion.dll").c_str(), (Folder() + "\\Plugins\\b.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(FixturePath("VersionPlain.dll").c_str(), (Folder() + "\\c.dll").c_str(), FALSE));
  // The scans run in the order of the folder, "Components", "Plugins"; they
  // end once every pair is satisfied, and do not start without pairs.
  const struct {
    const char* list;
    int32_t code;
    int32_t filesCollected;
  } cases[] = {
      {"[DLL_Versions]\nDLL=a\nVersion=3.0.1.27\nDLL=b\nVersion=0\nDLL=c\nVersion=1.2.3.4\n", 0, 3},
      {"[DLL_Versions]\nDLL=a\nVersion=3.0.1.27\nDLL=b\nVersion=1.2.3.4\nDLL=c\nVersion=1.2.3.4\n", 2, 3},
      {"[DLL_Versions]\nDLL=a\nVersion=3.0.1.27\nDLL=b\nVersion=1.2.3.4\nDLL=c\nVersion=9.9.9.9\n", 2, 3},
      {"[DLL_Versions]\nDLL=a\nDLL=b\nDLL=c\nVersion=3.0.1.27\nVersion=0\nVersion=1.2.3.4\n", 0, 3},
      {"[DLL_Versions]\nDLL=.dll\nVersion=1.2.3.4\nDLL=.dll\nVersion=0\nDLL=e\nVersion=0\n", 3, 3},
      {"[DLL_Versions]\nDLL=c\nVersion=1.2.3.4\n", 0, 1},
      {"[DLL_Versions]\nDLL=c\nVersion=1.2.3.4\nDLL=a\nVersion=3.0.1.27\n", 0, 2},
      {"[DLL_Versions]\nDLL=c\nVersion=3.0.1.27\n", 1, 3},
      {"[DLL_Versions]\nDLL=a\n", VersionListUnusable, 0},
  };
  std::string list = root_ / "list.txt";
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(list, c.list));
    FixedPath listPath = PathOf(list);
    EXPECT_EQ(InventoryComponents(PathOf(Folder()), &listPath), c.code) << c.list;
    EXPECT_EQ(ComponentFiles.count, c.filesCollected) << c.list;
  }
}

}  // namespace

// The scans of the component collection on real folders and registry keys.

namespace {

std::vector<std::string> Collected() {
  std::vector<std::string> paths;
  for (int32_t i = 0; i < ComponentFiles.count; ++i) paths.push_back(ComponentFiles[i].Text());
  return paths;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

class ComponentCollectionTest : public testing::Test {
 protected:
  void SetUp() override { ComponentFiles.ClearArray(); }
  void TearDown() override { ComponentFiles.ClearArray(); }

  std::string Folder() const { return root_ / "Player"; }
  std::string In(const std::string& relative) const { return Folder() + "\\" + relative; }
  bool Make(const std::string& relative) { return WriteTextFile(In(relative), "x"); }

  TempFolder root_;
  NavigatorKeys navigator_;
};

TEST_F(ComponentCollectionTest, AddsTheLibrariesOfOneFolderWithoutItsSubfolders) {
  for (const char* name : {"a.dll", "B.DLL", "c.Dll", "d.txt", "e.dll.bak", "fdll", "Sub\\g.dll"})
    ASSERT_TRUE(Make(name)) << name;
  ASSERT_TRUE(MakeFolders(In("h.dll")));  // a folder named like a library
  AddLibrariesInFolder(PathOf(Folder() + "\\"), SharedLibraryExtension);
  EXPECT_EQ(Sorted(Collected()), Sorted({In("a.dll"), In("B.DLL"), In("c.Dll")}));
}

TEST_F(ComponentCollectionTest, ListsAFolderFromTheLastFileFoundToTheFirst) {
  for (const char* name : {"a.dll", "b.dll", "c.dll"}) ASSERT_TRUE(Make(name));
  std::vector<std::string> found;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(In("*.dll").c_str(), &entry);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do found.insert(found.begin(), In(entry.cFileName));
  while (FindNextFileA(search, &entry));
  FindClose(search);

  AddLibrariesInFolder(PathOf(Folder() + "\\"), SharedLibraryExtension);
  EXPECT_EQ(Collected(), found);
}

TEST_F(ComponentCollectionTest, AppendsToWhatIsThere) {
  ASSERT_TRUE(Make("a.dll"));
  AddLibrariesInFolder(PathOf(Folder() + "\\"), SharedLibraryExtension);
  AddLibrariesInFolder(PathOf(Folder() + "\\"), SharedLibraryExtension);
  EXPECT_EQ(Collected(), std::vector<std::string>({In("a.dll"), In("a.dll")}));
}

TEST_F(ComponentCollectionTest, AFolderThatDoesNotExistAddsNothing) {
  AddLibrariesInFolder(PathOf(root_ / "missing\\"), SharedLibraryExtension);
  EXPECT_EQ(ComponentFiles.count, 0);
}

TEST_F(ComponentCollectionTest, ScansTheFolderAndThreeSubfoldersInOrderWithoutDeeperOnes) {
  for (const char* name : {"top.dll", "top.txt", "Components\\c.dll", "Components\\Deep\\cd.dll",
                           "NewComponents\\n.dll", "NewComponents\\Deep\\nd.dll", "Plugins\\p.dll",
                           "Plugins\\Deep\\pd.dll", "Other\\o.dll", "Resources\\r.dll"})
    ASSERT_TRUE(Make(name)) << name;
  for (const char* given : {"", "\\"}) {
    ComponentFiles.ClearArray();
    CollectComponentFiles(PathOf(Folder() + given));
    EXPECT_EQ(Collected(), std::vector<std::string>({In("top.dll"), In("Components\\c.dll"),
                                                     In("NewComponents\\n.dll"), In("Plugins\\p.dll")}))
        << "component folder given as " << Folder() + given;
  }
}

TEST_F(ComponentCollectionTest, KeepsALibraryFoundTwice) {
  ASSERT_TRUE(Make("NpQuillframe3.dll"));
  ASSERT_TRUE(Make("Plugins\\NpQuillframe3.dll"));
  CollectComponentFiles(PathOf(Folder()));
  EXPECT_EQ(Collected(), std::vector<std::string>({In("NpQuillframe3.dll"), In("Plugins\\NpQuillframe3.dll")}));
}

TEST_F(ComponentCollectionTest, SubfoldersThatAreFilesAreNotScanned) {
  ASSERT_TRUE(Make("top.dll"));
  ASSERT_TRUE(Make("Components"));
  CollectComponentFiles(PathOf(Folder()));
  EXPECT_EQ(Collected(), std::vector<std::string>({In("top.dll")}));
}

TEST_F(ComponentCollectionTest, AFolderTooLongForItsSubfoldersScansItselfOnce) {
  // A component folder of 256 characters: its own files fit, but no name of
  // a subfolder does, so each subfolder scan is passed over instead of
  // scanning the cut path, which would be the folder itself.
  std::string folder = Folder();
  while (folder.size() + 2 <= FixedPath::SetTextLimit) folder += "\\.";
  if (folder.size() < FixedPath::SetTextLimit) folder += "\\";
  ASSERT_TRUE(Make("top.dll"));
  ASSERT_TRUE(Make("Components\\c.dll"));
  CollectComponentFiles(PathOf(folder));
  ASSERT_EQ(ComponentFiles.count, 1);
  EXPECT_STREQ(ComponentFiles[0].FileNamePart(), "top.dll");
}

TEST_F(ComponentCollectionTest, AddsThePlayersFilesFromTheNavigatorPluginsFolderAndItsSubfolders) {
  std::string plugins = root_ / "Netscape\\Plugins";
  for (const char* name : {"NPQuillframe3.dll", "npquillframe3x.DLL", "NpQuillframe3.exe", "Quillframe3.class",
                           "QFX3 runtime.zip", "npnul32.dll", "Sub\\Quillframe3.classes", "Sub\\Deeper\\npquillframe3.dll",
                           "Sub\\other.dll"})
    ASSERT_TRUE(WriteTextFile(plugins + "\\" + name, "x")) << name;
  ASSERT_TRUE(navigator_.Install("4.08 (en)", plugins));
  ASSERT_TRUE(Make("top.dll"));

  CollectComponentFiles(PathOf(Folder()));
  std::vector<std::string> paths = Collected();
  ASSERT_FALSE(paths.empty());
  EXPECT_EQ(paths[0], In("top.dll")) << "the plug-ins folder is scanned last";
  paths.erase(paths.begin());
  EXPECT_EQ(Sorted(paths), Sorted({plugins + "\\NPQuillframe3.dll", plugins + "\\npquillframe3x.DLL",
                                   plugins + "\\Quillframe3.class", plugins + "\\QFX3 runtime.zip",
                                   plugins + "\\Sub\\Quillframe3.classes", plugins + "\\Sub\\Deeper\\npquillframe3.dll"}));
}

TEST_F(ComponentCollectionTest, ReadsThePluginsFolderOfTheCurrentVersionOnly) {
  std::string current = root_ / "Current";
  std::string older = root_ / "Older";
  ASSERT_TRUE(WriteTextFile(current + "\\NpQuillframe3.dll", "x"));
  ASSERT_TRUE(WriteTextFile(older + "\\NpQuillframe3.dll", "x"));
  ASSERT_TRUE(navigator_.SetPluginsDirectory("4.7", older));
  ASSERT_TRUE(navigator_.Install("4.8", current));
  FixedPath folder;
  ASSERT_TRUE(ReadNavigatorPluginsFolder(folder));
  EXPECT_STREQ(folder.Text(), (current + "\\").c_str());
  AddNavigatorPluginFiles();
  EXPECT_EQ(Collected(), std::vector<std::string>({current + "\\NpQuillframe3.dll"}));
}

TEST_F(ComponentCollectionTest, WithoutAPluginsFolderTheScanAddsNothing) {
  std::string plugins = root_ / "Plugins";
  ASSERT_TRUE(WriteTextFile(plugins + "\\NpQuillframe3.dll", "x"));
  std::string tooLong = plugins;
  while (tooLong.size() <= FixedPath::SetTextLimit) tooLong += "\\.";
  const struct {
    const char* what;
    bool setVersion;
    const char* version;
    bool setFolder;
    std::string folder;
  } cases[] = {
      {"no Navigator key", false, "", false, ""},
      {"no current version", false, "", true, plugins},
      {"an empty current version", true, "", true, plugins},
      {"no key for the current version", true, "9.0", false, ""},
      {"an empty plug-ins folder", true, "4.0", true, ""},
      {"a plug-ins folder longer than a path", true, "4.0", true, tooLong},
      {"a plug-ins folder that does not exist", true, "4.0", true, root_ / "missing"},
  };
  for (const auto& c : cases) {
    NavigatorKeys keys;
    if (c.setVersion) ASSERT_TRUE(keys.SetCurrentVersion(c.version));
    if (c.setFolder) ASSERT_TRUE(keys.SetPluginsDirectory("4.0", c.folder));
    ComponentFiles.ClearArray();
    AddNavigatorPluginFiles();
    EXPECT_EQ(ComponentFiles.count, 0) << c.what;
  }
}

TEST_F(ComponentCollectionTest, AnInventoryStartsFromAnEmptyList) {
  ASSERT_TRUE(Make("a.dll"));
  InventoryComponents(PathOf(Folder()), nullptr);
  InventoryComponents(PathOf(Folder()), nullptr);
  EXPECT_EQ(Collected(), std::vector<std::string>({In("a.dll")}));
}

TEST_F(ComponentCollectionTest, CollectsRealLibrariesWithTheirVersionResources) {
  ASSERT_TRUE(CopyFixture("VersionSpaced.dll", In("NpQuillframe3.dll")));
  CollectComponentFiles(PathOf(Folder()));
  ASSERT_EQ(ComponentFiles.count, 1);
  EXPECT_EQ(Collected()[0], In("NpQuillframe3.dll"));
}

}  // namespace
