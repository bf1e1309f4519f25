// Verification of real libraries, with their version resources, against
// version-list files.
#include "inventory/component_inventory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "inventory/component_files.h"
#include "inventory/version_verification.h"
#include "support/fixtures_win32.h"
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
  const struct {
    const char* list;
    int32_t code;
  } cases[] = {
      {"[DLL_Versions]\nDLL=a\nVersion=3.0.1.27\nDLL=b\nVersion=0\nDLL=c\nVersion=1.2.3.4\n", 0},
      {"[DLL_Versions]\nDLL=a\nVersion=3.0.1.27\nDLL=b\nVersion=1.2.3.4\nDLL=c\nVersion=1.2.3.4\n", 2},
      {"[DLL_Versions]\nDLL=a\nVersion=3.0.1.27\nDLL=b\nVersion=1.2.3.4\nDLL=c\nVersion=9.9.9.9\n", 2},
      {"[DLL_Versions]\nDLL=a\nDLL=b\nDLL=c\nVersion=3.0.1.27\nVersion=0\nVersion=1.2.3.4\n", 0},
      {"[DLL_Versions]\nDLL=.dll\nVersion=1.2.3.4\nDLL=.dll\nVersion=0\nDLL=e\nVersion=0\n", 3},
  };
  std::string list = root_ / "list.txt";
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(list, c.list));
    FixedPath listPath = PathOf(list);
    EXPECT_EQ(InventoryComponents(PathOf(Folder()), &listPath), c.code) << c.list;
  }
}

}  // namespace
