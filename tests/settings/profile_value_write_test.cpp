#include "settings/profile_value_write.h"

#include <gtest/gtest.h>

#include <string>

#include "support/profile_dump.h"

namespace {

TEST(ProfileValueWriteTest, ChangesOnlyAKeyThatIsThere) {
  const std::string text =
      "[Other]\nCheckForUpdates = 7\n[ComponentMgrOptions]\nCheckForUpdates = 0\nBroadcastKey = 1\n";
  const struct {
    const char* section;
    const char* key;
    bool changed;
    const char* dump;
  } cases[] = {
      {"ComponentMgrOptions", "CheckForUpdates", true,
       "[Other]<CheckForUpdates=7>[ComponentMgrOptions]<CheckForUpdates=1><BroadcastKey=1>"},
      {"ComponentMgrOptions", "LastUpdateCheckTime", false,
       "[Other]<CheckForUpdates=7>[ComponentMgrOptions]<CheckForUpdates=0><BroadcastKey=1>"},
      {"componentmgroptions", "CheckForUpdates", false,
       "[Other]<CheckForUpdates=7>[ComponentMgrOptions]<CheckForUpdates=0><BroadcastKey=1>"},
      {"ComponentMgrOptions", "checkforupdates", false,
       "[Other]<CheckForUpdates=7>[ComponentMgrOptions]<CheckForUpdates=0><BroadcastKey=1>"},
      {"Missing", "CheckForUpdates", false,
       "[Other]<CheckForUpdates=7>[ComponentMgrOptions]<CheckForUpdates=0><BroadcastKey=1>"},
  };
  for (const auto& c : cases) {
    ProfileDocument document;
    LoadProfile(document, text);
    EXPECT_EQ(ReplaceProfileValue(document, c.section, c.key, "1"), c.changed) << c.section << " " << c.key;
    EXPECT_EQ(DumpProfile(document), c.dump) << c.section << " " << c.key;
  }
}

TEST(ProfileValueWriteTest, ChangesTheLastEntryOfTheLastSection) {
  ProfileDocument document;
  LoadProfile(document, "[S]\nk = a\n[S]\nk = b\nk = c\n");
  ASSERT_TRUE(ReplaceProfileValue(document, "S", "k", "new"));
  EXPECT_EQ(DumpProfile(document), "[S]<k=a>[S]<k=b><k=new>");
}

TEST(ProfileValueWriteTest, StoresTheValueAsGiven) {
  ProfileDocument document;
  LoadProfile(document, "[S]\nLastUpdateCheckTime = 0\n");
  const std::string value = "1234567890123456789 = [x]";
  ASSERT_TRUE(ReplaceProfileValue(document, "S", "LastUpdateCheckTime", value.c_str()));
  EXPECT_EQ(DumpProfile(document), "[S]<LastUpdateCheckTime=" + value + ">");
}

}  // namespace
