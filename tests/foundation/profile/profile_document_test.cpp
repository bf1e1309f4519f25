#include "foundation/profile/profile_document.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/profile_dump.h"

namespace {

TEST(ProfileDocumentTest, AddSectionAlwaysAppends) {
  ProfileDocument document;
  ProfileSection* first = nullptr;
  ProfileSection* second = nullptr;
  ASSERT_EQ(document.AddSection("S", &first), StatusOk);
  ASSERT_EQ(document.AddSection("S", &second), StatusOk);
  EXPECT_EQ(document.SectionCount(), 2);
  ProfileSection* found = nullptr;
  ASSERT_EQ(document.FindSection("S", &found, false), StatusOk);
  EXPECT_EQ(found, &document.sections[1]);
}

TEST(ProfileDocumentTest, FindSectionCreatesOnlyWhenAsked) {
  ProfileDocument document;
  ProfileSection* section = reinterpret_cast<ProfileSection*>(1);
  EXPECT_EQ(document.FindSection("Main", &section, false), StatusNotFound);
  EXPECT_EQ(section, nullptr);
  ASSERT_EQ(document.FindSection("Main", &section, true), StatusOk);
  ASSERT_NE(section, nullptr);
  EXPECT_STREQ(section->Name(), "Main");
  ProfileSection* again = nullptr;
  ASSERT_EQ(document.FindSection("Main", &again, true), StatusOk);
  EXPECT_EQ(again, section);
  EXPECT_EQ(document.SectionCount(), 1);
}

TEST(ProfileDocumentTest, PositionsPastTheEndAreNotFound) {
  ProfileDocument document;
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.AddSection("A", &section), StatusOk);
  ProfileSection* out = reinterpret_cast<ProfileSection*>(1);
  EXPECT_EQ(document.SectionAt(1, &out), StatusNotFound);
  EXPECT_EQ(out, reinterpret_cast<ProfileSection*>(1));  // untouched
  EXPECT_EQ(document.SectionAt(-1, &out), StatusNotFound);
  ASSERT_EQ(document.SectionAt(0, &out), StatusOk);
  EXPECT_EQ(out, section);
  ProfileEntry* entry = reinterpret_cast<ProfileEntry*>(1);
  EXPECT_EQ(section->EntryAt(0, &entry), StatusNotFound);
  EXPECT_EQ(entry, nullptr);
}

TEST(ProfileDocumentTest, EntriesFindTheLastAddedUnderAKey) {
  ProfileDocument document;
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.AddSection("Download Sites", &section), StatusOk);
  ProfileEntry* entry = nullptr;
  ASSERT_EQ(section->AddEntry("site", &entry), StatusOk);
  ASSERT_EQ(entry->SetValue("a"), StatusOk);
  ASSERT_EQ(section->AddEntry("site", &entry), StatusOk);
  EXPECT_EQ(entry->value.Text(), nullptr);  // a new entry has an empty value
  ASSERT_EQ(entry->SetValue("b"), StatusOk);
  ASSERT_EQ(section->FindEntry("site", &entry, false), StatusOk);
  EXPECT_STREQ(entry->Value(), "b");
  ASSERT_EQ(section->EntryAt(0, &entry), StatusOk);
  EXPECT_STREQ(entry->Value(), "a");
  EXPECT_EQ(section->FindEntry("Site", &entry, false), StatusNotFound);
  EXPECT_EQ(entry, nullptr);
  ASSERT_EQ(section->FindEntry("new", &entry, true), StatusOk);
  EXPECT_EQ(section->EntryCount(), 3);
}

TEST(ProfileDocumentTest, SetValueTakesACount) {
  ProfileDocument document;
  ProfileEntry* entry = nullptr;
  ASSERT_EQ(AddProfileEntry(document, "A", "k", nullptr, &entry), StatusOk);
  ASSERT_EQ(entry->SetValue("value", 3), StatusOk);
  EXPECT_STREQ(entry->Value(), "val");
  ASSERT_EQ(entry->SetValue("x"), StatusOk);
  EXPECT_STREQ(entry->Value(), "x");
  entry->value.SetReadOnly(true);
  EXPECT_EQ(entry->SetValue("y"), StatusNoMemory);
  entry->value.SetReadOnly(false);
}

TEST(ProfileDocumentTest, NamesAreCopiedWithTheirLength) {
  ProfileDocument document;
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.AddSection("Mainline", &section, 4), StatusOk);
  EXPECT_STREQ(section->Name(), "Main");
  ProfileSection* found = nullptr;
  EXPECT_EQ(document.FindSection("Main", &found, false), StatusOk);
  EXPECT_EQ(document.FindSection("Mainline", &found, false), StatusNotFound);
}

TEST(ProfileDocumentTest, LookupsSurviveGrowthOfTheArrays) {
  ProfileDocument document;
  for (int s = 0; s < 100; ++s) {
    ProfileSection* section = nullptr;
    ASSERT_EQ(document.AddSection(("S" + std::to_string(s)).c_str(), &section), StatusOk);
    for (int e = 0; e < 50; ++e) {
      ProfileEntry* entry = nullptr;
      ASSERT_EQ(section->AddEntry(("k" + std::to_string(e)).c_str(), &entry), StatusOk);
      ASSERT_EQ(entry->SetValue(std::to_string(s * 50 + e).c_str()), StatusOk);
    }
  }
  for (int s = 0; s < 100; s += 7) {
    ProfileSection* section = nullptr;
    ASSERT_EQ(document.FindSection(("S" + std::to_string(s)).c_str(), &section, false), StatusOk);
    for (int e = 0; e < 50; e += 3) {
      ProfileEntry* entry = nullptr;
      ASSERT_EQ(section->FindEntry(("k" + std::to_string(e)).c_str(), &entry, false), StatusOk);
      EXPECT_EQ(std::string(entry->Value()), std::to_string(s * 50 + e));
    }
  }
}

TEST(ProfileDocumentTest, ClearDocumentEmptiesItForReuse) {
  ProfileDocument document;
  ASSERT_EQ(AddProfileEntry(document, "A", "k", nullptr), StatusOk);
  document.ClearDocument();
  EXPECT_EQ(document.SectionCount(), 0);
  ProfileSection* section = nullptr;
  EXPECT_EQ(document.FindSection("A", &section, false), StatusNotFound);
  ASSERT_EQ(document.AddSection("B", &section), StatusOk);
  EXPECT_EQ(DumpProfile(document), "[B]");
}

TEST(ProfileDocumentTest, ClearEntriesEmptiesOneSection) {
  ProfileDocument document;
  ASSERT_EQ(AddProfileEntry(document, "A", "k", "v"), StatusOk);
  ProfileSection* section = &document.sections[0];
  ProfileEntry* entry = nullptr;
  section->ClearEntries();
  EXPECT_EQ(section->EntryCount(), 0);
  EXPECT_EQ(section->FindEntry("k", &entry, false), StatusNotFound);
  ASSERT_EQ(section->AddEntry("j", &entry), StatusOk);
  ASSERT_EQ(entry->SetValue("w"), StatusOk);
  EXPECT_EQ(DumpProfile(document), "[A]<j=w>");
}

TEST(ProfileDocumentTest, EmptyNamesAreNames) {
  ProfileDocument document;
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.AddSection("", &section), StatusOk);
  ProfileEntry* entry = nullptr;
  ASSERT_EQ(section->AddEntry(nullptr, &entry), StatusOk);
  ProfileSection* found = nullptr;
  ASSERT_EQ(document.FindSection("", &found, false), StatusOk);
  ASSERT_EQ(found->FindEntry("", &entry, false), StatusOk);
}

TEST(ProfileDocumentTest, NoNameIsAnEmptyName) {
  ProfileDocument document;
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.AddSection(nullptr, &section), StatusOk);
  EXPECT_STREQ(section->Name(), "");
  ProfileSection* found = nullptr;
  ASSERT_EQ(document.FindSection("", &found, false), StatusOk);
  EXPECT_EQ(found, section);
}

}  // namespace
