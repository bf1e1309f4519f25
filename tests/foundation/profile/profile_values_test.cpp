#include "foundation/profile/profile_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/profile/profile_text.h"
#include "support/profile_dump.h"

namespace {

TEST(ProfileValueTest, CopiesTheValueWithItsTerminator) {
  ProfileDocument document;
  LoadProfile(document, "[ComponentMgrOptions]\r\nCheckForUpdates=1\r\n");
  char out[12];
  memset(out, 'x', sizeof out);
  ASSERT_TRUE(CopyProfileValue(document, "ComponentMgrOptions", "CheckForUpdates", out, sizeof out));
  EXPECT_STREQ(out, "1");
}

TEST(ProfileValueTest, MissingSectionOrKeyLeavesOutUntouched) {
  ProfileDocument document;
  LoadProfile(document, "[A]\nk=v\n");
  char out[12] = "untouched";
  EXPECT_FALSE(CopyProfileValue(document, "B", "k", out, sizeof out));
  EXPECT_STREQ(out, "untouched");
  EXPECT_FALSE(CopyProfileValue(document, "A", "K", out, sizeof out));
  EXPECT_STREQ(out, "untouched");
}

TEST(ProfileValueTest, EmptyValueGivesFalseAndTheEmptyText) {
  ProfileDocument document;
  ASSERT_EQ(AddProfileEntry(document, "A", "k", nullptr), StatusOk);
  char out[12] = "untouched";
  EXPECT_FALSE(CopyProfileValue(document, "A", "k", out, sizeof out));
  EXPECT_STREQ(out, "");
}

TEST(ProfileValueTest, CopyIsBoundedByTheBuffer) {
  ProfileDocument document;
  LoadProfile(document, "[A]\nlong=" + std::string(100, 'v') + "\nfits=12345678901\n");
  char out[13];
  out[12] = '#';
  ASSERT_TRUE(CopyProfileValue(document, "A", "long", out, 12));
  EXPECT_EQ(std::string(out), std::string(11, 'v'));
  EXPECT_EQ(out[12], '#');
  ASSERT_TRUE(CopyProfileValue(document, "A", "fits", out, 12));
  EXPECT_STREQ(out, "12345678901");
  EXPECT_FALSE(CopyProfileValue(document, "A", "long", out, 0));
  EXPECT_EQ(out[12], '#');
}

TEST(ProfileValueTest, UsesTheLastSectionOfItsName) {
  ProfileDocument document;
  LoadProfile(document, "[A]\nk=first\n[A]\nk=second\n");
  char out[16];
  ASSERT_TRUE(CopyProfileValue(document, "A", "k", out, sizeof out));
  EXPECT_STREQ(out, "second");
}

}  // namespace

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
