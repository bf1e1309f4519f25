#include "foundation/profile/profile_values.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/profile/profile_text.h"
#include "support/folder_files_win32.h"
#include "support/path_of.h"
#include "support/profile_dump.h"
#include "support/temp_folder_win32.h"

namespace {

TEST(GetProfileValueTest, ReadsOneValueIntoTwelveBytes) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "QuillframeConfig.ini",
                            "[ComponentMgrOptions]\r\nCheckForUpdates=0\r\nLastUpdateCheckTime=" +
                                std::string(40, '7') + "\r\n"));
  char out[12];
  ASSERT_TRUE(GetProfileValue(PathOf(folder / "QuillframeConfig.ini"), "ComponentMgrOptions",
                              "CheckForUpdates", out, sizeof out));
  EXPECT_STREQ(out, "0");
  ASSERT_TRUE(GetProfileValue(PathOf(folder / "QuillframeConfig.ini"), "ComponentMgrOptions",
                              "LastUpdateCheckTime", out, sizeof out));
  EXPECT_EQ(std::string(out), std::string(11, '7'));
}

TEST(GetProfileValueTest, MissingFileIsFalseAndLeavesOutUntouched) {
  TempFolder folder;
  char out[12] = "untouched";
  EXPECT_FALSE(GetProfileValue(PathOf(folder / "missing.ini"), "A", "k", out, sizeof out));
  EXPECT_STREQ(out, "untouched");
}

}  // namespace
