#include "settings/download_sites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/profile_dump.h"
#include "support/text_list.h"

namespace {

TEST(SiteListTest, CollectsOnlySiteEntriesInFileOrder) {
  ProfileDocument document;
  LoadProfile(document, "[Download Sites]\nsite = A\nmirror = B\nsite = C\nSite = D\n");
  TypedArray<String> list;
  EXPECT_EQ(CollectSites(document, list), StatusOk);
  EXPECT_EQ(TextsOf(list), (std::vector<std::string>{"A", "C"}));
}

TEST(SiteListTest, CollectingAppendsToWhatTheListHolds) {
  ProfileDocument document;
  LoadProfile(document, "[Download Sites]\nsite = B\n");
  TypedArray<String> list;
  FillTexts(list, {"A"});
  EXPECT_EQ(CollectSites(document, list), StatusOk);
  EXPECT_EQ(TextsOf(list), (std::vector<std::string>{"A", "B"}));
}

TEST(SiteListTest, WithoutTheSectionNothingIsCollected) {
  const char* const texts[] = {"", "[download sites]\nsite = A\n", "[Other]\nsite = A\n"};
  for (const char* text : texts) {
    ProfileDocument document;
    LoadProfile(document, text);
    TypedArray<String> list;
    EXPECT_EQ(CollectSites(document, list), StatusNotFound) << text;
    EXPECT_EQ(list.count, 0) << text;
  }
}

TEST(SiteListTest, TheLastSectionOfTheNameHoldsTheSites) {
  ProfileDocument document;
  LoadProfile(document, "[Download Sites]\nsite = old\n[Download Sites]\nsite = new\n");
  TypedArray<String> list;
  EXPECT_EQ(CollectSites(document, list), StatusOk);
  EXPECT_EQ(TextsOf(list), std::vector<std::string>{"new"});
}

TEST(SiteListTest, PutWritesTheNonEmptySitesAndDropsOtherKeys) {
  ProfileDocument document;
  LoadProfile(document, "[Before]\nk = v\n[Download Sites]\nsite = A\nmirror = B\n[After]\nx = y\n");
  TypedArray<String> list;
  FillTexts(list, {"C", "", "A"});
  ASSERT_TRUE(PutSites(document, list));
  EXPECT_EQ(DumpProfile(document), "[Before]<k=v>[Download Sites]<site=C><site=A>[After]<x=y>");
}

TEST(SiteListTest, PutAddsTheSectionWhenMissing) {
  ProfileDocument document;
  LoadProfile(document, "[Other]\nk = v\n");
  TypedArray<String> list;
  FillTexts(list, {"A"});
  ASSERT_TRUE(PutSites(document, list));
  EXPECT_EQ(WrittenProfileText(document), "[Other]\r\nk = v\r\n[Download Sites]\r\nsite = A\r\n\r\n");
}

TEST(SiteListTest, PutOfAnEmptyListLeavesAnEmptySection) {
  ProfileDocument document;
  LoadProfile(document, "[Download Sites]\nsite = A\n");
  TypedArray<String> list;
  FillTexts(list, {"", ""});
  ASSERT_TRUE(PutSites(document, list));
  EXPECT_EQ(WrittenProfileText(document), "[Download Sites]\r\n\r\n");
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

TEST(SiteListTest, BuiltInSitesAreSecureAndOnTheSameServer) {
  const char* const sites[] = {BuiltInDefaultSite, BuiltInBetaSite, BuiltInFirstDevelopmentSite,
                               BuiltInSecondDevelopmentSite};
  for (const char* site : sites) {
    EXPECT_EQ(std::string(site).rfind("https://components.corvalent.com/Quillframe", 0), 0u) << site;
    EXPECT_EQ(std::string(site).back(), '/') << site;
  }
}

}  // namespace
