// "-cu+", "-cu" and "-lu": the component manager's options in
// "QuillframeConfig.ini" of the component folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/held_file_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"

namespace {

const std::string options =
    "[Proxy]\r\nHost=proxy.example\r\n"
    "[ComponentMgrOptions]\r\nCheckForUpdates=0\r\nLastUpdateCheckTime   =  77\r\nBroadcastKey = 1\r\n"
    "[Zones]\r\nzone = a\r\nzone = b\r\n";

// options with the two values set as given: every other byte as it was.
std::string Written(const std::string& check, const std::string& time) {
  return "[Proxy]\r\nHost=proxy.example\r\n"
         "[ComponentMgrOptions]\r\nCheckForUpdates=" + check + "\r\nLastUpdateCheckTime   =  " + time +
         "\r\nBroadcastKey = 1\r\n"
         "[Zones]\r\nzone = a\r\nzone = b\r\n";
}

class ManagerOptions : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Install()); }
  std::string File() const { return player.ComponentFolder() + "\\QuillframeConfig.ini"; }
  ProgramRun Run(const std::string& arguments) {
    ProgramRun run = RunPanel(arguments);
    EXPECT_TRUE(run.started);
    return run;
  }
  PlayerInstallation player;
};

TEST_F(ManagerOptions, ChangeTheirKeyAndKeepEverythingElse) {
  const struct {
    std::string arguments;
    std::string written;
  } cases[] = {
      {"-cu+", Written("1", "77")},
      {"-cu", Written("0", "77")},
      {"-lu 1700000000", Written("0", "1700000000")},
      {"-cu+ -lu 0", Written("1", "0")},
      {"--cu+", Written("1", "77")},           // found by substring
      {"-lu \"12 34\"", Written("0", "12 34")},  // stored as given
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteTextFile(File(), options));
    ProgramRun run = Run(c.arguments);
    EXPECT_EQ(run.output, "0\n") << c.arguments;
    EXPECT_EQ(run.exitCode, 0) << c.arguments;
    EXPECT_EQ(ReadTextFile(File()), c.written) << c.arguments;
  }
}

// A file that an administrator annotated: comments of both kinds, a blank
// line, text before the first header and another program's section stay as
// they are, byte for byte; only the value changes.
TEST_F(ManagerOptions, AnAnnotatedFileKeepsEveryLineButTheValue) {
  const std::string annotated =
      "; managed by IT - do not edit\r\n[ComponentMgrOptions]\r\n; 0 = off\r\nCheckForUpdates=1\r\n# note\r\n"
      "LastUpdateCheckTime=5\r\n\r\n[Proxy]\r\nHost=proxy.corp\r\n";
  ASSERT_TRUE(WriteTextFile(File(), annotated));
  ProgramRun run = Run("-cu+");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), annotated);
  run = Run("-cu -lu 1700000000");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()),
            "; managed by IT - do not edit\r\n[ComponentMgrOptions]\r\n; 0 = off\r\nCheckForUpdates=0\r\n# note\r\n"
            "LastUpdateCheckTime=1700000000\r\n\r\n[Proxy]\r\nHost=proxy.corp\r\n");
}

TEST_F(ManagerOptions, AFileWithoutTheKeyIsLeftAloneAndTheFailurePrinted) {
  const std::string withoutKeys = "[ComponentMgrOptions]\r\nBroadcastKey = 1\r\n";
  for (const char* arguments : {"-cu+", "-cu", "-lu 5"}) {
    ASSERT_TRUE(WriteTextFile(File(), withoutKeys));
    ProgramRun run = Run(arguments);
    EXPECT_EQ(run.output, "1\n") << arguments;
    EXPECT_EQ(run.exitCode, 1) << arguments;
    EXPECT_EQ(ReadTextFile(File()), withoutKeys) << arguments;
  }
}

TEST_F(ManagerOptions, AMissingFileIsNotMade) {
  for (const char* arguments : {"-cu+", "-cu", "-lu 5"}) {
    ProgramRun run = Run(arguments);
    EXPECT_EQ(run.output, "1\n") << arguments;
    EXPECT_FALSE(PathExists(File())) << arguments;
  }
}

TEST_F(ManagerOptions, AFailureStaysVisibleAfterALaterSuccess) {
  // "LastUpdateCheckTime" is missing, "CheckForUpdates" is there.
  const std::string partial = "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n";
  ASSERT_TRUE(WriteTextFile(File(), partial));
  ProgramRun run = Run("-lu 5 -cu+");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(ReadTextFile(File()), "[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\n");

  ASSERT_TRUE(WriteTextFile(File(), partial));
  run = Run("-cu+ -lu 5");
  EXPECT_EQ(run.output, "1\n");
  EXPECT_EQ(ReadTextFile(File()), "[ComponentMgrOptions]\r\nCheckForUpdates = 1\r\n");
}

TEST_F(ManagerOptions, WithoutAComponentFolderNothingChangesAndNothingFails) {
  ASSERT_TRUE(WriteTextFile(File(), options));
  ASSERT_TRUE(player.SetComponentPath(player.Root() / "elsewhere"));
  for (const char* arguments : {"-cu+", "-cu", "-lu 5"}) {
    ProgramRun run = Run(arguments);
    EXPECT_EQ(run.output, "0\n") << arguments;
    EXPECT_EQ(ReadTextFile(File()), options) << arguments;
  }
}

TEST_F(ManagerOptions, TimeWithoutItsArgumentChangesNothing) {
  ASSERT_TRUE(WriteTextFile(File(), options));
  ProgramRun run = Run("-lu");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), options);
}

TEST_F(ManagerOptions, AReadOnlyFileIsReplaced) {
  ASSERT_TRUE(WriteTextFile(File(), options));
  ASSERT_TRUE(SetFileAttributesA(File().c_str(), FILE_ATTRIBUTE_READONLY));
  ProgramRun run = Run("-cu+");
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(ReadTextFile(File()), Written("1", "77"));
}

TEST_F(ManagerOptions, AFileThatCannotBeReadOrReplacedStaysAsItWasAndOneIsPrinted) {
  // Held by another program that shares nothing, the options cannot be read;
  // when it lets others read but neither write nor delete the file, the
  // options are read but the new file cannot take its place.
  // Each option would change the file it finds ("-cu" one with the check on).
  std::string checkOn = options;
  checkOn.replace(checkOn.find("CheckForUpdates=0"), 17, "CheckForUpdates=1");
  const struct {
    const char* arguments;
    const std::string& text;
  } cases[] = {{"-cu+", options}, {"-cu", checkOn}, {"-lu 5", options}};
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    for (const auto& c : cases) {
      const char* arguments = c.arguments;
      ASSERT_TRUE(WriteTextFile(File(), c.text));
      {
        HeldFile holder(File(), share);
        ASSERT_TRUE(holder.IsOpen());
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.output, "1\n") << arguments << " " << share;
        EXPECT_EQ(run.exitCode, 1) << arguments << " " << share;
      }
      EXPECT_EQ(ReadTextFile(File()), c.text) << arguments << " " << share;
      EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{"QuillframeConfig.ini"});
    }
  }
}

}  // namespace
