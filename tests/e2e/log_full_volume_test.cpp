// The log on a full disk: a line that does not fit is said on standard error
// with its real cause, the run goes on, and the next run's lines start on
// lines of their own. The test harness mounts a small volume for this test
// and names it in PROFILE_FULL_VOLUME; without it the test is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/volume_filler_win32.h"

namespace {

// The lines of text, split at CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(LogFullVolumeTest, ALineThatDoesNotFitLeavesTheNextLinesWhole) {
  const std::string root = SmallVolumeRoot();
  if (root.empty()) GTEST_SKIP() << "PROFILE_FULL_VOLUME names no small volume";
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  ASSERT_TRUE(WriteTextFile(player.ComponentFolder() + "\\QuillframeConfig.ini",
                            "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n"));
  const std::string log = root + "cp.log";
  RemovePath(log);
  // The file ends a few bytes before the end of its last block: once the
  // volume is full, only the start of the next line fits there.
  constexpr size_t BlockBytes = 4096;
  constexpr size_t RoomLeft = 40;
  const std::string stamp = "2026-12-11T09:30:05.123+01:00 [1] ";
  std::string earlier = stamp + "earlier run ";
  earlier += std::string(BlockBytes - RoomLeft - earlier.size() - 2, 'x') + "\r\n";
  ASSERT_TRUE(WriteTextFile(log, earlier));
  {
    VolumeFiller filler(root + "filler.bin");
    ASSERT_TRUE(filler.Full());
    ProgramRun run = RunPanel("/quiet /log " + log + " -cu+");
    EXPECT_EQ(run.output, "0\n") << "the run goes on without its log";
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    EXPECT_NE(run.errors.find("cannot be written"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("(error 112)"), std::string::npos) << "a full disk is a full disk: " << run.errors;
  }
  const std::string arguments = "/quiet /log " + log + " -cu";
  ProgramRun run = RunPanel(arguments);
  EXPECT_EQ(run.output, "0\n");
  EXPECT_EQ(run.errors, "");
  const std::string text = ReadTextFile(log);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  const std::vector<std::string> lines = Lines(text);
  ASSERT_GE(lines.size(), 4u) << text;
  EXPECT_EQ(lines[0] + "\r\n", earlier);
  // What fit of the line that did not is a line of its own.
  EXPECT_EQ(lines[1].size(), RoomLeft) << lines[1];
  EXPECT_EQ(lines[2].substr(lines[2].find(']') + 2), "command line: " + arguments) << lines[2];
  EXPECT_EQ(lines.back().substr(lines.back().find(']') + 2), "result code 0") << lines.back();
  RemovePath(log);
}

}  // namespace
