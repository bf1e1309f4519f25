// "-ds+" and "-ds": the download-site list "QFXDownloadSites.txt" of the
// component folder, and the default site of "ControlPanelv306.ini".
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/control_panel_copy_win32.h"
#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"

namespace {

const std::string builtInDefault = "https://components.corvalent.com/QuillframeComponents/";

// A site list file the program made: the writer's form, the section
// "Download Sites" holding sites.
std::string SiteFile(const std::vector<std::string>& sites) {
  std::string text = "[Download Sites]\r\n";
  for (const std::string& site : sites) text += "site = " + site + "\r\n";
  return text + "\r\n";
}

class DownloadSites : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Install()); }
  std::string File() const { return player.ComponentFolder() + "\\QFXDownloadSites.txt"; }
  ProgramRun Run(const std::string& arguments, const std::string& program = ControlPanelProgram()) {
    ProgramRun run = RunProgram(program, arguments);
    EXPECT_TRUE(run.started);
    run.output = WithoutCarriageReturns(run.output);
    return run;
  }
  PlayerInstallation player;
};

TEST_F(DownloadSites, EditTheListAndKeepTheRestOfTheFile) {
  // Only the line of the site changes: a new one comes first in the section,
  // a removed one's lines go; the other sections, the other entries of the
  // section, the spacing and the LF line ends stay as they were.
  const std::string before = "[Mirrors]\nregion=eu\n[Download Sites]\n";
  const std::string after = "[Proxy]\nHost  =  proxy.example\n";
  const std::string section = "site=https://a/\nmirror = https://m/\nsite = https://b/\nsite = https://a/\n";
  const struct {
    std::string arguments;
    std::string section;
  } cases[] = {
      {"-ds+ https://new/", "site = https://new/\n" + section},
      {"-ds+ https://b/", section},  // listed: nothing changes
      {"-ds https://a/", "mirror = https://m/\nsite = https://b/\n"},  // every copy goes
      {"-ds https://z/", section},                                      // not listed
      // Names are exact: other case, other trailing slash.
      {"-ds+ HTTPS://B/", "site = HTTPS://B/\n" + section},
      {"-ds+ https://b", "site = https://b\n" + section},
      {"-ds https://A/", section},
      {"-ds https://b", section},
      // Several edits on one command line, and options found by substring.
      {"-ds+ https://c/ -ds https://a/ x-ds+y https://d/",
       "site = https://d/\nsite = https://c/\nmirror = https://m/\nsite = https://b/\n"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(File(), before + section + after));
    ProgramRun run = Run(c.arguments);
    EXPECT_EQ(run.output, "0\n") << c.arguments;
    EXPECT_EQ(run.exitCode, 0) << c.arguments;
    EXPECT_EQ(ReadTextFile(File()), before + c.section + after) << c.arguments;
    EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{"QFXDownloadSites.txt"}) << c.arguments;
  }
}

TEST_F(DownloadSites, AMissingFileIsMade) {
  ProgramRun run = Run("-ds+ https://a/");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({"https://a/"}));
  RemovePath(File());
  run = Run("-ds https://a/");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({}));
}

TEST_F(DownloadSites, AFileWithoutTheSectionGetsIt) {
  ASSERT_TRUE(WriteTextFile(File(), "[download sites]\r\nsite = https://x/\r\n"));
  ProgramRun run = Run("-ds+ https://a/");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()),
            "[download sites]\r\nsite = https://x/\r\n[Download Sites]\r\nsite = https://a/\r\n");
}

TEST_F(DownloadSites, SitesOfADeletedListDoNotComeBack) {
  ProgramRun run = Run("-ds+ https://a/ -dsd -ds+ https://b/");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({"https://b/"}));
}

TEST_F(DownloadSites, SiteWithoutItsArgumentChangesNothing) {
  for (const char* arguments : {"-ds+", "-ds"}) {
    ProgramRun run = Run(arguments);
    EXPECT_EQ(run.output, "0\n") << arguments;
    EXPECT_FALSE(PathExists(File())) << arguments;
  }
}

TEST_F(DownloadSites, WithoutAComponentFolderNothingIsWritten) {
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "elsewhere"));
  for (const char* arguments : {"-ds+ https://a/", "-ds https://a/", "-ds+ Default"}) {
    ProgramRun run = Run(arguments);
    EXPECT_EQ(run.output, "0\n") << arguments;
    EXPECT_FALSE(PathExists(File())) << arguments;
  }
}

TEST_F(DownloadSites, DefaultIsTheBuiltInSiteWithoutSettingsBesideTheProgram) {
  ControlPanelCopy copy;
  ASSERT_TRUE(copy.Ready());
  ProgramRun run = Run("-ds+ Default", copy.Program());
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({builtInDefault}));
  // Option mode leaves the program's folder alone.
  EXPECT_FALSE(PathExists(copy.Beside("ControlPanelv306.ini")));
  run = Run("-ds Default", copy.Program());
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({}));
}

TEST_F(DownloadSites, DefaultIsTheConfiguredSiteWhenThereIsOne) {
  const struct {
    std::string settings;
    std::string site;
  } cases[] = {
      {"[DownloadSitesValues]\r\nDefault = https://configured/\r\n", "https://configured/"},
      {"[DownloadSitesValues]\r\nDefault =\r\nBeta = https://beta/\r\n", builtInDefault},
      {"[DownloadSitesValues]\r\ndefault = https://configured/\r\n", builtInDefault},
      {"[RegistryValues]\r\nDefault = https://configured/\r\n", builtInDefault},
      // A site too long to be held whole is not stored cut.
      {"[DownloadSitesValues]\r\nDefault = https://" + std::string(3000, 's') + "/\r\n", builtInDefault},
  };
  for (const auto& c : cases) {
    ControlPanelCopy copy;
    ASSERT_TRUE(copy.Ready());
    ASSERT_TRUE(WriteTextFile(copy.Beside("ControlPanelv306.ini"), c.settings));
    RemovePath(File());
    ProgramRun run = Run("-ds+ Default", copy.Program());
    EXPECT_EQ(run.output, "0\n") << c.settings;
    EXPECT_EQ(ReadTextFile(File()), SiteFile({c.site})) << c.settings;
    EXPECT_EQ(ReadTextFile(copy.Beside("ControlPanelv306.ini")), c.settings);
  }
}

TEST_F(DownloadSites, OnlyTheExactWordStandsForTheDefaultSite) {
  ProgramRun run = Run("-ds+ default -ds+ xDefault");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({"xDefault", "default"}));
}

TEST_F(DownloadSites, AReadOnlyListIsReplaced) {
  ASSERT_TRUE(WriteTextFile(File(), "[Download Sites]\r\nsite = https://a/\r\n"));
  ASSERT_TRUE(SetFileAttributesA(File().c_str(), FILE_ATTRIBUTE_READONLY));
  ProgramRun run = Run("-ds+ https://b/");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), "[Download Sites]\r\nsite = https://b/\r\nsite = https://a/\r\n");
}

TEST_F(DownloadSites, AListThatCannotBeReadOrReplacedStaysAsItWasAndOneIsPrinted) {
  const std::string oldText = "[Download Sites]\nsite = https://a/\n[Other]\nk = v\n";
  ASSERT_TRUE(WriteTextFile(File(), oldText));
  // Without sharing the list cannot be read; with shared reading it is read
  // but the new file cannot take its place.
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    for (const char* arguments : {"-ds+ https://b/", "-ds https://a/"}) {
      {
        HeldFile holder(File(), share);
        ASSERT_TRUE(holder.IsOpen());
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.output, "1\n") << arguments << " " << share;
        EXPECT_EQ(run.exitCode, 1) << arguments << " " << share;
      }
      EXPECT_EQ(ReadTextFile(File()), oldText) << arguments << " " << share;
      EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{"QFXDownloadSites.txt"});
    }
  }
}

TEST_F(DownloadSites, AFolderInTheWayIsAFailure) {
  ASSERT_TRUE(MakeFolders(File()));
  ProgramRun run = Run("-ds+ https://a/");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(FilesIn(File()).empty());
}

TEST_F(DownloadSites, TheirResultReplacesAnEarlierCode) {
  // "-cu+" fails without "QuillframeConfig.ini"; the site edit then succeeds.
  ProgramRun run = Run("-cu+ -ds+ https://a/");
  EXPECT_EQ(run.output, "0\n");
  run = Run("-ds+ https://a/ -cu+");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(ReadTextFile(File()), SiteFile({"https://a/"}));
}

}  // namespace
