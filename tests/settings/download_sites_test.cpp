#include "settings/download_sites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/profile_dump.h"
#include "support/text_list.h"

namespace {

// Only "site" entries of the last section "Download Sites" (its name and the
// key compared exactly), in file order, added after what the list holds.
TEST(SiteListTest, CollectingTakesTheSiteEntriesOfTheLastSection) {
  const struct {
    const char* text;
    std::vector<std::string> before;
    Status status;
    std::vector<std::string> after;
  } cases[] = {
      {"[Download Sites]\nsite = A\nmirror = B\nsite = C\nSite = D\n", {}, StatusOk, {"A", "C"}},
      {"[Download Sites]\nsite = B\n", {"A"}, StatusOk, {"A", "B"}},
      {"[Download Sites]\nsite = old\n[Download Sites]\nsite = new\n", {}, StatusOk, {"new"}},
      // Without the section nothing is collected.
      {"", {}, StatusNotFound, {}},
      {"[download sites]\nsite = A\n", {}, StatusNotFound, {}},
      {"[Other]\nsite = A\n", {}, StatusNotFound, {}},
  };
  for (const auto& c : cases) {
    ProfileDocument document;
    LoadProfile(document, c.text);
    TypedArray<String> list;
    FillTexts(list, c.before);
    EXPECT_EQ(CollectSites(document, list), c.status) << c.text;
    EXPECT_EQ(TextsOf(list), c.after) << c.text;
  }
}

// The section holds the list's non-empty sites and nothing else, in place,
// made at the end when missing, empty when the list has none.
TEST(SiteListTest, PuttingWritesTheNonEmptySitesIntoTheSection) {
  const struct {
    const char* text;
    std::vector<std::string> sites;
    const char* written;
  } cases[] = {
      {"[Before]\nk = v\n[Download Sites]\nsite = A\nmirror = B\n[After]\nx = y\n", {"C", "", "A"},
       "[Before]\r\nk = v\r\n[Download Sites]\r\nsite = C\r\nsite = A\r\n[After]\r\nx = y\r\n\r\n"},
      {"[Other]\nk = v\n", {"A"}, "[Other]\r\nk = v\r\n[Download Sites]\r\nsite = A\r\n\r\n"},
      {"[Download Sites]\nsite = A\n", {"", ""}, "[Download Sites]\r\n\r\n"},
  };
  for (const auto& c : cases) {
    ProfileDocument document;
    LoadProfile(document, c.text);
    TypedArray<String> list;
    FillTexts(list, c.sites);
    ASSERT_TRUE(PutSites(document, list)) << c.text;
    EXPECT_EQ(WrittenProfileText(document), c.written) << c.text;
  }
}

TEST(SiteListTest, AddAndRemoveCompareExactly) {
  const struct {
    std::vector<std::string> before;
    const char* site;
    bool add;
    std::vector<std::string> after;
  } cases[] = {
      {{}, "A", true, {"A"}},
      {{"B", "C"}, "A", true, {"A", "B", "C"}},
      {{"B", "A", "C"}, "A", true, {"B", "A", "C"}},  // listed: order unchanged
      {{"http://x/"}, "HTTP://X/", true, {"HTTP://X/", "http://x/"}},
      {{"http://x/"}, "http://x", true, {"http://x", "http://x/"}},
      {{"A", "", "B"}, "", true, {"A", "", "B"}},  // an emptied element holds the empty text
      {{"A", "B", "A", "A"}, "A", false, {"", "B", "", ""}},
      {{"A", "B"}, "C", false, {"A", "B"}},
      {{"http://x/"}, "http://X/", false, {"http://x/"}},
      {{"", "A"}, "A", true, {"", "A"}},
      {{"", "B"}, "A", true, {"A", "", "B"}},
  };
  for (const auto& c : cases) {
    TypedArray<String> list;
    FillTexts(list, c.before);
    if (c.add) {
      EXPECT_TRUE(AddSite(list, c.site)) << c.site;
    } else {
      RemoveSite(list, c.site);
    }
    EXPECT_EQ(TextsOf(list), c.after) << c.site << (c.add ? " added" : " removed");
  }
}

TEST(SiteListTest, InsertingAtTheFrontGrowsByDoubling) {
  TypedArray<String> list;
  const char* const sites[] = {"1", "2", "3", "4", "5"};
  const int32_t capacities[] = {1, 2, 4, 4, 8};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(AddSite(list, sites[i]));
    EXPECT_EQ(list.capacity, capacities[i]);
  }
  EXPECT_EQ(TextsOf(list), (std::vector<std::string>{"5", "4", "3", "2", "1"}));
}

TEST(SiteListTest, ListsSiteSeesOnlyExactTexts) {
  TypedArray<String> list;
  FillTexts(list, {"A", ""});
  EXPECT_TRUE(ListsSite(list, "A"));
  EXPECT_TRUE(ListsSite(list, ""));
  EXPECT_FALSE(ListsSite(list, "a"));
  EXPECT_FALSE(ListsSite(list, "A "));
}

TEST(SiteListTest, DefaultSiteSettingsHoldTheTwoSectionsInOrder) {
  ProfileDocument document;
  ASSERT_TRUE(BuildDefaultSiteSettings(document));
  const std::string host = "https://components.corvalent.com";
  EXPECT_EQ(WrittenProfileText(document),
            "[RegistryValues]\r\n"
            "RegKeyAddDownload_Value = " + host + "/QuillframeComponentsDev1/\r\n"
            "[DownloadSitesValues]\r\n"
            "Default = " + host + "/QuillframeComponents/\r\n"
            "Beta = " + host + "/QuillframeComponentsBeta/\r\n"
            "Development1 = " + host + "/QuillframeComponentsDev1/\r\n"
            "Development2 = " + host + "/QuillframeComponentsDev2/\r\n"
            "\r\n");
}

}  // namespace
