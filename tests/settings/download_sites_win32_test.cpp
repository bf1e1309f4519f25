#include "settings/download_sites.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/path_of.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/temp_folder_win32.h"
#include "support/text_list.h"

namespace {

// "ControlPanelv306.ini" beside this test program, moved out of the way for
// one test; whatever the test made there is removed and the old file put back.
class SettingsBesideProgram {
 public:
  SettingsBesideProgram()
      : path_(ThisProgramFolder() + "\\ControlPanelv306.ini"),
        kept_(path_ + ".kept"),
        hadOne_(MoveFileA(path_.c_str(), kept_.c_str()) != FALSE) {}
  ~SettingsBesideProgram() {
    RemovePath(path_);
    if (hadOne_) MoveFileA(kept_.c_str(), path_.c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string kept_;
  bool hadOne_;
};

const std::string builtInSettings =
    "[RegistryValues]\r\n"
    "RegKeyAddDownload_Value = https://components.corvalent.com/QuillframeComponentsDev1/\r\n"
    "[DownloadSitesValues]\r\n"
    "Default = https://components.corvalent.com/QuillframeComponents/\r\n"
    "Beta = https://components.corvalent.com/QuillframeComponentsBeta/\r\n"
    "Development1 = https://components.corvalent.com/QuillframeComponentsDev1/\r\n"
    "Development2 = https://components.corvalent.com/QuillframeComponentsDev2/\r\n"
    "\r\n";

TEST(SiteListFileTest, LoadTakesTheSiteEntriesInFileOrder) {
  TempFolder folder;
  const std::string path = folder / "QFXDownloadSites.txt";
  ASSERT_TRUE(WriteTextFile(path, "[Other]\nsite = X\n[Download Sites]\r\nsite = A\r\nmirror = B\r\nsite = C\r\n"));
  TypedArray<String> list;
  FillTexts(list, {"stale"});
  EXPECT_TRUE(LoadSiteList(PathOf(path), list));
  EXPECT_EQ(TextsOf(list), (std::vector<std::string>{"A", "C"}));
}

TEST(SiteListFileTest, LoadWithoutTheSectionGivesAnEmptyList) {
  TempFolder folder;
  const struct {
    const char* name;
    const char* text;  // none: no file
  } cases[] = {{"missing.txt", nullptr}, {"empty.txt", ""}, {"other.txt", "[download sites]\nsite = A\n"}};
  for (const auto& c : cases) {
    if (c.text) ASSERT_TRUE(WriteTextFile(folder / c.name, c.text));
    TypedArray<String> list;
    FillTexts(list, {"stale"});
    EXPECT_FALSE(LoadSiteList(PathOf(folder / c.name), list)) << c.name;
    EXPECT_EQ(list.count, 0) << c.name;
  }
}

TEST(SiteListFileTest, SaveKeepsOtherSectionsAndDropsOtherKeys) {
  TempFolder folder;
  const std::string path = folder / "QFXDownloadSites.txt";
  ASSERT_TRUE(WriteTextFile(path, "[Before]\nk=v\n[Download Sites]\nsite=A\nmirror=B\n[After]\nx  =  y\n"));
  TypedArray<String> list;
  FillTexts(list, {"C", "", "A"});
  EXPECT_TRUE(SaveSiteList(PathOf(path), list));
  EXPECT_EQ(ReadTextFile(path),
            "[Before]\r\nk = v\r\n[Download Sites]\r\nsite = C\r\nsite = A\r\n[After]\r\nx = y\r\n\r\n");
}

TEST(SiteListFileTest, SaveMakesAMissingFileAndReplacesAReadOnlyOne) {
  TempFolder folder;
  const std::string path = folder / "QFXDownloadSites.txt";
  TypedArray<String> list;
  FillTexts(list, {"A"});
  EXPECT_TRUE(SaveSiteList(PathOf(path), list));
  EXPECT_EQ(ReadTextFile(path), "[Download Sites]\r\nsite = A\r\n\r\n");

  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  FillTexts(list, {"B", "A"});
  EXPECT_TRUE(SaveSiteList(PathOf(path), list));
  EXPECT_EQ(ReadTextFile(path), "[Download Sites]\r\nsite = B\r\nsite = A\r\n\r\n");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"QFXDownloadSites.txt"});
}

TEST(SiteListFileTest, SaveLeavesAFileItCannotReadOrReplaceAsItWas) {
  const std::string oldText = "[Keep]\r\nthis = file\r\n[Download Sites]\r\nsite = A\r\n";
  // Held without sharing: it can be neither read nor replaced. Held with
  // shared reading: it is read, but cannot be replaced. Held with shared
  // writing and deleting: it could be replaced, but not read first, and
  // replacing it with only the new list would lose the file's contents.
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
    TempFolder folder;
    const std::string path = folder / "QFXDownloadSites.txt";
    ASSERT_TRUE(WriteTextFile(path, oldText));
    TypedArray<String> list;
    FillTexts(list, {"B"});
    {
      HeldFile holder(path, share);
      ASSERT_TRUE(holder.IsOpen());
      EXPECT_FALSE(SaveSiteList(PathOf(path), list)) << share;
    }
    EXPECT_EQ(ReadTextFile(path), oldText) << share;
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"QFXDownloadSites.txt"}) << share;
  }
}

TEST(SiteListFileTest, SaveIntoAMissingFolderFails) {
  TempFolder folder;
  TypedArray<String> list;
  FillTexts(list, {"A"});
  EXPECT_FALSE(SaveSiteList(PathOf(folder / "gone\\QFXDownloadSites.txt"), list));
  EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

TEST(SiteSettingsTest, DefaultsAreWrittenWhenMissingOrForced) {
  TempFolder folder;
  const std::string path = folder / "ControlPanelv306.ini";
  EXPECT_EQ(WriteDefaultSiteSettingsAt(PathOf(path), false), StatusOk);
  EXPECT_EQ(ReadTextFile(path), builtInSettings);

  ASSERT_TRUE(WriteTextFile(path, "[DownloadSitesValues]\nDefault = mine\n"));
  EXPECT_EQ(WriteDefaultSiteSettingsAt(PathOf(path), false), StatusOk);
  EXPECT_EQ(ReadTextFile(path), "[DownloadSitesValues]\nDefault = mine\n");

  EXPECT_EQ(WriteDefaultSiteSettingsAt(PathOf(path), true), StatusOk);
  EXPECT_EQ(ReadTextFile(path), builtInSettings);
}

TEST(SiteSettingsTest, DefaultsThatCannotBeWrittenAreReported) {
  TempFolder folder;
  EXPECT_EQ(WriteDefaultSiteSettingsAt(PathOf(folder / "gone\\ControlPanelv306.ini"), false), StatusIoError);
  EXPECT_EQ(WriteDefaultSiteSettingsAt(FixedPath(), true), StatusIoError);
}

TEST(SiteSettingsTest, TheSettingsFileLiesBesideTheProgram) {
  SettingsBesideProgram beside;
  EXPECT_EQ(std::string(SiteSettingsPath().Text()), beside.Path());
  EXPECT_EQ(WriteDefaultSiteSettings(false), StatusOk);
  EXPECT_EQ(ReadTextFile(beside.Path()), builtInSettings);
  ASSERT_TRUE(WriteTextFile(beside.Path(), "[DownloadSitesValues]\nBeta = mine\n"));
  EXPECT_EQ(WriteDefaultSiteSettings(false), StatusOk);
  EXPECT_EQ(ReadTextFile(beside.Path()), "[DownloadSitesValues]\nBeta = mine\n");
  EXPECT_EQ(WriteDefaultSiteSettings(true), StatusOk);
  EXPECT_EQ(ReadTextFile(beside.Path()), builtInSettings);
}

TEST(SiteSettingsTest, ConfiguredSitesFallBackToTheBuiltInOnes) {
  const struct {
    const char* text;  // none: no file
    const char* site;
    bool fromFile;
  } cases[] = {
      {nullptr, "built-in", false},
      {"[DownloadSitesValues]\nBeta = https://mine/\n", "https://mine/", true},
      {"[DownloadSitesValues]\nBeta =\n", "built-in", false},
      {"[DownloadSitesValues]\nbeta = https://mine/\n", "built-in", false},
      {"[RegistryValues]\nBeta = https://mine/\n", "built-in", false},
      {"[DownloadSitesValues]\nBeta = old\n[DownloadSitesValues]\nBeta = new\n", "new", true},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder / "ControlPanelv306.ini";
    if (c.text) ASSERT_TRUE(WriteTextFile(path, c.text));
    char site[SiteBufferBytes] = "untouched";
    EXPECT_EQ(ReadConfiguredSite(PathOf(path), "Beta", "built-in", site), c.fromFile) << (c.text ? c.text : "none");
    EXPECT_STREQ(site, c.site) << (c.text ? c.text : "none");
  }
}

// A site is never cut: one that does not fit the buffer counts as missing.
TEST(SiteSettingsTest, AConfiguredSiteTooLongForTheBufferFallsBackToTheBuiltInOne) {
  const struct {
    size_t length;
    bool fromFile;
  } cases[] = {
      {SiteBufferBytes - 2, true},
      {SiteBufferBytes - 1, true},  // the longest that fits
      {SiteBufferBytes, false},
      {SiteBufferBytes + 1, false},
      {3000, false},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder / "ControlPanelv306.ini";
    const std::string configured = "https://" + std::string(c.length - 8, 's');
    ASSERT_TRUE(WriteTextFile(path, "[DownloadSitesValues]\nDefault = " + configured + "\n"));
    char site[SiteBufferBytes];
    EXPECT_EQ(ReadConfiguredSite(PathOf(path), "Default", "built-in", site), c.fromFile) << c.length;
    EXPECT_EQ(std::string(site), c.fromFile ? configured : "built-in") << c.length;
  }
}

TEST(SiteSettingsTest, BetaSettingsFillWhatTheyAreGiven) {
  SettingsBesideProgram beside;
  char valueName[64] = "untouched";
  char site[SiteBufferBytes] = "untouched";
  EXPECT_FALSE(BetaSiteSettings(valueName, sizeof valueName, site, sizeof site));
  EXPECT_STREQ(valueName, "Additional Download URL");
  EXPECT_STREQ(site, "https://components.corvalent.com/QuillframeComponentsBeta/");

  ASSERT_TRUE(WriteTextFile(beside.Path(), "[DownloadSitesValues]\nBeta = https://beta.example/\n"));
  char shortName[11];
  char shortSite[6];
  EXPECT_TRUE(BetaSiteSettings(shortName, sizeof shortName, shortSite, sizeof shortSite));
  EXPECT_STREQ(shortName, "Additional");
  EXPECT_STREQ(shortSite, "https");
  EXPECT_TRUE(BetaSiteSettings(nullptr, 0, site, sizeof site));
  EXPECT_STREQ(site, "https://beta.example/");
  strcpy(site, "untouched");
  BetaSiteSettings(valueName, sizeof valueName, nullptr, 0);
  EXPECT_STREQ(valueName, "Additional Download URL");
}

// EditSiteList on a real player installation and its site list file.
class SiteListEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.Install());
    SiteList.ClearArray();
  }
  void TearDown() override { SiteList.ClearArray(); }
  std::string File() const { return player.ComponentFolder() + "\\QFXDownloadSites.txt"; }

  PlayerInstallation player;
};

TEST_F(SiteListEditTest, WithoutAComponentFolderNothingIsDone) {
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "elsewhere"));
  EXPECT_EQ(EditSiteList("A", true), 0);
  EXPECT_EQ(EditSiteList("A", false), 0);
  EXPECT_FALSE(PathExists(File()));
  EXPECT_EQ(SiteList.count, 0);
}

TEST_F(SiteListEditTest, NewSitesComeFirstAndTheListFollowsTheFile) {
  ASSERT_TRUE(WriteTextFile(File(), "[Download Sites]\nsite = A\nsite = B\n"));
  EXPECT_EQ(EditSiteList("C", true), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\nsite = C\nsite = A\nsite = B\n");
  EXPECT_EQ(TextsOf(SiteList), (std::vector<std::string>{"C", "A", "B"}));

  EXPECT_EQ(EditSiteList("B", true), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\nsite = C\nsite = A\nsite = B\n");
}

TEST_F(SiteListEditTest, RemovalEmptiesEveryCopyInPlace) {
  ASSERT_TRUE(WriteTextFile(File(), "[Download Sites]\nsite = A\nsite = B\nsite = A\n"));
  EXPECT_EQ(EditSiteList("A", false), 0);
  EXPECT_EQ(TextsOf(SiteList), (std::vector<std::string>{"", "B", ""}));
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\nsite = B\n");
}

TEST_F(SiteListEditTest, SitesOfADeletedFileDoNotComeBack) {
  EXPECT_EQ(EditSiteList("A", true), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\r\nsite = A\r\n\r\n");
  RemovePath(File());
  EXPECT_EQ(EditSiteList("B", true), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\r\nsite = B\r\n\r\n");
  EXPECT_EQ(TextsOf(SiteList), std::vector<std::string>{"B"});
}

TEST_F(SiteListEditTest, DefaultStandsForTheConfiguredDefaultSite) {
  SettingsBesideProgram beside;
  EXPECT_EQ(EditSiteList("Default", true), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\r\nsite = https://components.corvalent.com/QuillframeComponents/\r\n\r\n");
  ASSERT_TRUE(WriteTextFile(beside.Path(), "[DownloadSitesValues]\nDefault = https://mine/\n"));
  EXPECT_EQ(EditSiteList("Default", true), 0);
  EXPECT_EQ(EditSiteList("default", true), 0);  // only the exact word stands for it
  EXPECT_EQ(ReadTextFile(File()),
            "[Download Sites]\r\nsite = default\r\nsite = https://mine/\r\n"
            "site = https://components.corvalent.com/QuillframeComponents/\r\n\r\n");
  EXPECT_EQ(EditSiteList("Default", false), 0);
  EXPECT_EQ(ReadTextFile(File()),
            "[Download Sites]\r\nsite = default\r\n"
            "site = https://components.corvalent.com/QuillframeComponents/\r\n\r\n");
}

TEST_F(SiteListEditTest, NoSiteLeavesTheFileUnchanged) {
  ASSERT_TRUE(WriteTextFile(File(), "[Download Sites]\nsite=A\n"));
  EXPECT_EQ(EditSiteList(nullptr, true), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\nsite=A\n");
  EXPECT_EQ(EditSiteList(nullptr, false), 0);
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\nsite=A\n");
}

TEST_F(SiteListEditTest, AFileThatCannotBeReadIsLeftAlone) {
  const std::string oldText = "[Download Sites]\nsite = A\n[Other]\nk = v\n";
  ASSERT_TRUE(WriteTextFile(File(), oldText));
  {
    HeldFile holder(File(), 0);
    ASSERT_TRUE(holder.IsOpen());
    EXPECT_EQ(EditSiteList("B", true), 1);
  }
  EXPECT_EQ(ReadTextFile(File()), oldText);
}

}  // namespace
