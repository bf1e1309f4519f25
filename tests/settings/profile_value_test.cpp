#include "settings/profile_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
