#include "foundation/profile_document.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/profile_dump.h"

namespace {

// Names that outlive the index, as the Strings of a document do.
std::vector<std::string> NamesOf(int n, const char* prefix = "name") {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

TEST(NameIndexTest, HashTakesBytesAsSignedTimesThirtyThree) {
  EXPECT_EQ(HashName(""), 0u);
  EXPECT_EQ(HashName("a"), 97u);
  EXPECT_EQ(HashName("ab"), 97u * 33 + 98);
  EXPECT_EQ(HashName("\xff"), 0xFFFFFFFFu);          // -1
  EXPECT_EQ(HashName("a\x80"), 97u * 33 - 128);      // 128 adds -128
  uint32_t expected = 0;
  for (char c : std::string("LastUpdateCheckTime")) expected = expected * 33 + static_cast<uint32_t>(c);
  EXPECT_EQ(HashName("LastUpdateCheckTime"), expected);
}

TEST(NameIndexTest, BucketCountsAreTheLargestPrimesBelowPowersOfTwo) {
  EXPECT_EQ(NameIndexBucketCounts[0], 31);
  EXPECT_EQ(NameIndexBucketCounts[1], 61);
  EXPECT_EQ(NameIndexBucketCounts[2], 127);
  EXPECT_EQ(NameIndexBucketCounts[26], 2147483647);
  for (int i = 0; i < 27; ++i) {
    const int64_t power = int64_t{1} << (i + 5);
    EXPECT_LT(NameIndexBucketCounts[i], power);
    EXPECT_GT(NameIndexBucketCounts[i], power / 2);
  }
}

TEST(NameIndexTest, EmptyIndexFindsNothing) {
  NameIndex index;
  int32_t position = -7;
  EXPECT_EQ(index.BucketCount(), 0);
  EXPECT_FALSE(index.Find("x", &position));
  EXPECT_EQ(position, -7);
}

TEST(NameIndexTest, ResizesWhenNamesPlusOneExceedTwiceTheBuckets) {
  std::vector<std::string> names = NamesOf(300);
  NameIndex index;
  ASSERT_TRUE(index.Insert(names[0].c_str(), 0));
  EXPECT_EQ(index.BucketCount(), 31);
  for (int i = 1; i < 62; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.names, 62);
  EXPECT_EQ(index.BucketCount(), 31);  // the 62nd went into 31 buckets
  ASSERT_TRUE(index.Insert(names[62].c_str(), 62));
  EXPECT_EQ(index.BucketCount(), 61);  // the 63rd brought 61
  EXPECT_EQ(index.buckets.capacity, 61);  // exactly, not doubled
  for (int i = 63; i < 122; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.BucketCount(), 61);  // 122 names in 61 buckets
  ASSERT_TRUE(index.Insert(names[122].c_str(), 122));
  EXPECT_EQ(index.BucketCount(), 127);
  for (int i = 123; i < 300; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  for (int i = 0; i < 300; ++i) {
    int32_t position = -1;
    ASSERT_TRUE(index.Find(names[i].c_str(), &position)) << names[i];
    EXPECT_EQ(position, i);
  }
}

TEST(NameIndexTest, ChainsStayShort) {
  std::vector<std::string> names = NamesOf(10000, "key");
  NameIndex index;
  for (int i = 0; i < 10000; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_GE(index.BucketCount() * 2, index.names);
  int longest = 0;
  for (int b = 0; b < index.BucketCount(); ++b) {
    int length = 0;
    for (NameIndexNode* node = index.buckets[b]; node; node = node->next) ++length;
    longest = std::max(longest, length);
  }
  EXPECT_LE(longest, 12);
}

TEST(NameIndexTest, LastAddedWins) {
  const std::string name = "site";
  NameIndex index;
  ASSERT_TRUE(index.Insert(name.c_str(), 0));
  ASSERT_TRUE(index.Insert("other", 1));
  ASSERT_TRUE(index.Insert(name.c_str(), 2));
  EXPECT_EQ(index.names, 2);
  int32_t position = -1;
  ASSERT_TRUE(index.Find("site", &position));
  EXPECT_EQ(position, 2);
}

TEST(NameIndexTest, NamesAreCaseSensitiveAndWhole) {
  NameIndex index;
  ASSERT_TRUE(index.Insert("Main", 0));
  int32_t position = -1;
  EXPECT_FALSE(index.Find("main", &position));
  EXPECT_FALSE(index.Find("Mai", &position));
  EXPECT_FALSE(index.Find("Main ", &position));
  EXPECT_TRUE(index.Find("Main", &position));
}

TEST(NameIndexTest, NoNameIsTheEmptyName) {
  NameIndex index;
  ASSERT_TRUE(index.Insert(nullptr, 4));
  int32_t position = -1;
  ASSERT_TRUE(index.Find("", &position));
  EXPECT_EQ(position, 4);
  ASSERT_TRUE(index.Find(nullptr, &position));
}

TEST(NameIndexTest, PoolAllocatesOneBlockPerThirtyTwoNames) {
  std::vector<std::string> names = NamesOf(65);
  NameIndex index;
  for (int i = 0; i < 32; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.pool.BlockCount(), 1);
  ASSERT_TRUE(index.Insert(names[32].c_str(), 32));
  EXPECT_EQ(index.pool.BlockCount(), 2);
  for (int i = 33; i < 65; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.pool.BlockCount(), 3);
}

TEST(NameIndexTest, EmptyingReusesNodesAndTheBucketBlock) {
  std::vector<std::string> first = NamesOf(64, "a"), second = NamesOf(64, "b");
  NameIndex index;
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(index.Insert(first[i].c_str(), i));
  NameIndexNode** bucketBlock = index.buckets.data;
  const int32_t bucketCapacity = index.buckets.capacity;
  EXPECT_EQ(index.pool.BlockCount(), 2);
  index.Empty();
  EXPECT_EQ(index.names, 0);
  EXPECT_EQ(index.BucketCount(), 0);
  EXPECT_EQ(index.buckets.data, bucketBlock);
  EXPECT_EQ(index.buckets.capacity, bucketCapacity);
  int32_t position = -1;
  EXPECT_FALSE(index.Find(first[0].c_str(), &position));
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(index.Insert(second[i].c_str(), i));
  EXPECT_EQ(index.pool.BlockCount(), 2);  // every node came from the free list
  EXPECT_EQ(index.buckets.data, bucketBlock);
  EXPECT_EQ(index.BucketCount(), 61);
  EXPECT_TRUE(index.Find(second[63].c_str(), &position));
  EXPECT_EQ(position, 63);
  EXPECT_FALSE(index.Find(first[63].c_str(), &position));
}

TEST(NameIndexTest, SmallBlockSizesAreRaisedToTen) {
  NameNodePool pool(3);
  EXPECT_EQ(pool.blockNodes, 10);
  std::vector<NameIndexNode*> nodes;
  for (int i = 0; i < 11; ++i) nodes.push_back(pool.Take());
  EXPECT_EQ(pool.BlockCount(), 2);
  pool.GiveBack(nodes[4]);
  EXPECT_EQ(pool.Take(), nodes[4]);
}

}  // namespace

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

namespace {

// Parses bytes from a block of exactly their size, with no terminator after
// them, so that AddressSanitizer reports any read past the end.
Status Parse(ProfileDocument& document, const std::string& bytes) {
  std::unique_ptr<char[]> block(new char[bytes.size() ? bytes.size() : 1]);
  bytes.copy(block.get(), bytes.size());
  return ReadProfileText(document, block.get(), static_cast<uint32_t>(bytes.size()));
}

struct ParseCase {
  const char* name;
  std::string text;
  std::string document;  // DumpProfile of the result
  Status status;
};

const ParseCase parseCases[] = {
    {"EmptyText", "", "", StatusOk},
    {"OnlyBlanks", " \t\r\n \n", "", StatusOk},
    {"OneEntry", "[Main]\r\nkey=value\r\n", "[Main]<key=value>", StatusOk},
    {"LeadingLineIgnored", "junk line\r\n[A]\r\nk=v\r\n", "[A]<k=v>", StatusOk},
    {"LeadingLineEndedByLf", "junk\n", "", StatusOk},
    {"WholeTextOneStrayLine", "junk", "", StatusBadFormat},
    {"HeaderLastWithoutLineEnd", "[Main]", "[Main]", StatusBadFormat},
    {"HeaderWithTextAfterItLast", "[A]junk", "[A]", StatusBadFormat},
    {"HeaderThenLineEnd", "[Main]\r\n", "[Main]", StatusOk},
    {"TextEndsInsideHeader", "[Mai", "", StatusBadFormat},
    {"LoneBracketAtEnd", "[A]\nk=v\n[", "[A]<k=v>", StatusBadFormat},
    {"SecondHeaderLast", "[A]\nk=v\n[B]", "[A]<k=v>[B]", StatusBadFormat},
    {"UnclosedHeaderLineIgnored", "[Main\r\nk=v\r\n[B]\r\nx=y\r\n", "[B]<x=y>", StatusOk},
    {"UnclosedHeaderLast", "[A]\r\n[B\r\n", "[A]", StatusOk},
    {"NameKeepsBlanks", "[ a ]\n", "[ a ]", StatusOk},
    {"EmptyName", "[]\nk=v\n", "[]<k=v>", StatusOk},
    {"TextAfterBracketIgnored", "[A] more [text]\nk=v\n", "[A]<k=v>", StatusOk},
    {"BlanksAroundKeyAndValue", "[A]\r\n  key   =   value  \r\n", "[A]<key=value  >", StatusOk},
    {"TabsAroundEquals", "[A]\nk\t=\tv\t\n", "[A]<k=v\t>", StatusOk},
    {"DoubleEquals", "[A]\nkey==value\n", "[A]<key=value>", StatusOk},
    {"EqualsInsideValueStart", "[A]\nkey = =x\n", "[A]<key=x>", StatusOk},
    {"EmptyValueDropped", "[A]\nkey =\nk=v\n", "[A]<k=v>", StatusOk},
    {"EmptyValueBeforeCrLf", "[A]\r\nkey = \r\nk=v\r\n", "[A]<k=v>", StatusOk},
    {"KeyAloneDropped", "[A]\nkey\nk=v\n", "[A]<k=v>", StatusOk},
    {"KeyWithTrailingBlankAloneDropped", "[A]\nkey  \nk=v\n", "[A]<k=v>", StatusOk},
    {"KeyAloneLast", "[A]\nkey", "[A]", StatusOk},
    {"KeyAndEqualsLast", "[A]\nk =", "[A]", StatusOk},
    {"ValueWithoutLineEnd", "[A]\nk=v", "[A]<k=v>", StatusOk},
    {"BlankInsideKey", "[A]\na b = c\n", "[A]<=c>", StatusOk},
    {"BlankInsideLongerKey", "[A]\nfoo bar = baz\n", "[A]<ar=baz>", StatusOk},
    {"EmptyKey", "[A]\n=v\n", "[A]<=v>", StatusOk},
    {"ValueKeepsEqualsAndBrackets", "[A]\nk=a=b [c] d\n", "[A]<k=a=b [c] d>", StatusOk},
    {"BracketInsideKey", "[A]\na[b=c\n", "[A]<a[b=c>", StatusOk},
    {"CrOnly", "[A]\rk=v\rj=w\r", "[A]<k=v><j=w>", StatusOk},
    {"LfOnly", "[A]\nk=v\nj=w\n", "[A]<k=v><j=w>", StatusOk},
    {"LfCr", "[A]\n\rk=v\n\rj=w\n\r", "[A]<k=v><j=w>", StatusOk},
    {"BlankLinesBetween", "[A]\r\n\r\n\r\nk=v\r\n\r\n[B]\r\n\r\n", "[A]<k=v>[B]", StatusOk},
    {"DuplicateSectionsKept", "[S]\nsite=a\nsite=b\n[S]\nx=1\n", "[S]<site=a><site=b>[S]<x=1>",
     StatusOk},
    {"CaseKept", "[Main]\nKey=V\n[main]\nkey=v\n", "[Main]<Key=V>[main]<key=v>", StatusOk},
    {"HighBytes", "[\xe9t\xe9]\n\xe9=\xff\xfe\n", "[\xe9t\xe9]<\xe9=\xff\xfe>", StatusOk},
    {"NulEndsTheText", std::string("[A]\nk=v\n\0j=w\n", 13), "[A]<k=v>", StatusOk},
    {"NulInsideValue", std::string("[A]\nk=v\0w\n", 10), "[A]<k=v>", StatusOk},
    // The length counts, not the NUL: a header before a NUL is not last.
    {"NulAfterHeader", std::string("[A]\0", 4), "[A]", StatusOk},
    {"NulFirst", std::string("\0[A]\n", 5), "", StatusOk},
};

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, GivesTheDocumentAndStatus) {
  const ParseCase& c = GetParam();
  ProfileDocument document;
  EXPECT_EQ(Parse(document, c.text), c.status);
  EXPECT_EQ(DumpProfile(document), c.document);
}

INSTANTIATE_TEST_SUITE_P(ProfileText, ParseTest, testing::ValuesIn(parseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(ProfileTextTest, ReadingAddsToWhatTheDocumentHolds) {
  ProfileDocument document;
  ASSERT_EQ(Parse(document, "[A]\nk=v\n"), StatusOk);
  ASSERT_EQ(Parse(document, "[A]\nk=w\n"), StatusOk);
  EXPECT_EQ(DumpProfile(document), "[A]<k=v>[A]<k=w>");
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.FindSection("A", &section, false), StatusOk);
  EXPECT_EQ(section, &document.sections[1]);
}

TEST(ProfileTextTest, LookupsFindTheLastOfDuplicates) {
  ProfileDocument document;
  ASSERT_EQ(Parse(document, "[S]\nsite=a\nsite=b\n[S]\nx=1\nx=2\n"), StatusOk);
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.FindSection("S", &section, false), StatusOk);
  ProfileEntry* entry = nullptr;
  ASSERT_EQ(section->FindEntry("x", &entry, false), StatusOk);
  EXPECT_STREQ(entry->Value(), "2");
  ASSERT_EQ(document.SectionAt(0, &section), StatusOk);
  ASSERT_EQ(section->FindEntry("site", &entry, false), StatusOk);
  EXPECT_STREQ(entry->Value(), "b");
  EXPECT_EQ(document.FindSection("s", &section, false), StatusNotFound);
}

TEST(ProfileTextTest, WriterFormOfSectionsAndEntries) {
  ProfileDocument document;
  ASSERT_EQ(AddProfileEntry(document, "A", "k", "v"), StatusOk);
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.AddSection("B", &section), StatusOk);
  EXPECT_EQ(WrittenProfileText(document), "[A]\r\nk = v\r\n[B]\r\n\r\n");
}

TEST(ProfileTextTest, EmptyDocumentIsOneLineEnd) {
  ProfileDocument document;
  EXPECT_EQ(WrittenProfileText(document), "\r\n");
}

TEST(ProfileTextTest, WriterKeepsKeysAndValuesAsTheyAre) {
  ProfileDocument document;
  ASSERT_EQ(AddProfileEntry(document, "ComponentMgrOptions", "LastUpdateCheckTime ", "0"), StatusOk);
  ASSERT_EQ(AddProfileEntry(document, "ComponentMgrOptions", "Empty", nullptr), StatusOk);
  EXPECT_EQ(WrittenProfileText(document), "[ComponentMgrOptions]\r\nLastUpdateCheckTime  = 0\r\nEmpty = \r\n\r\n");

  // Read back, the blank ends the key and the empty value is dropped.
  ProfileDocument reread;
  ASSERT_EQ(Parse(reread, WrittenProfileText(document)), StatusOk);
  EXPECT_EQ(DumpProfile(reread), "[ComponentMgrOptions]<LastUpdateCheckTime=0>");
}

TEST(ProfileTextTest, WriterStopsWhenTheSinkRefuses) {
  ProfileDocument document;
  ASSERT_EQ(Parse(document, "[A]\nk=v\n"), StatusOk);
  int calls = 0;
  auto refuseThird = [](void* context, const char*, uint32_t) { return ++*static_cast<int*>(context) < 3; };
  EXPECT_EQ(WriteProfileText(document, refuseThird, &calls), StatusIoError);
  EXPECT_EQ(calls, 3);
}

// Reading the writer's form back gives the same document, except entries with
// empty values.
const char* const roundTripTexts[] = {
    "[Main]\r\nkey=value\r\n",
    "[A]\nk=v\n[B]\n[C]\nx = y  \n",
    "[ spaced name ]\n  a b = c\nfoo bar = baz\n=v\n",
    "[S]\nsite=a\nsite=b\n[S]\nsite=c\n",
    "[]\nk==v=w [x]\n",
    "[\xe9]\n\xe9=\xff\n",
    "[A]\nk=v\n[B",
};

TEST(ProfileTextTest, WrittenTextReadsBackAlike) {
  for (const char* text : roundTripTexts) {
    ProfileDocument document;
    Parse(document, text);
    const std::string written = WrittenProfileText(document);
    ProfileDocument reread;
    EXPECT_EQ(Parse(reread, written), StatusOk) << text;
    EXPECT_EQ(DumpProfile(reread), DumpProfile(document)) << text;
    EXPECT_EQ(WrittenProfileText(reread), written) << text;
  }
}

TEST(ProfileTextTest, AddedEntryWithEmptyValueIsDroppedOnRereading) {
  ProfileDocument document;
  ASSERT_EQ(AddProfileEntry(document, "A", "empty", nullptr), StatusOk);
  ASSERT_EQ(AddProfileEntry(document, "A", "full", "1"), StatusOk);
  ProfileDocument reread;
  ASSERT_EQ(Parse(reread, WrittenProfileText(document)), StatusOk);
  EXPECT_EQ(DumpProfile(reread), DumpProfileWithoutEmptyValues(document));
  EXPECT_EQ(DumpProfile(reread), "[A]<full=1>");
}

// Hostile inputs: a clear result, never a crash.
TEST(ProfileTextTest, LongLinesParse) {
  const std::string longValue(300 * 1024, 'v');
  const std::string longName(200 * 1024, 'n');
  ProfileDocument document;
  ASSERT_EQ(Parse(document, "[" + longName + "]\r\nk=" + longValue + "\r\n" + longValue), StatusOk);
  ASSERT_EQ(document.SectionCount(), 1);
  EXPECT_EQ(document.sections[0].name.Length(), longName.size());
  ASSERT_EQ(document.sections[0].EntryCount(), 1);
  EXPECT_EQ(document.sections[0].entries[0].value.Length(), longValue.size());
}

TEST(ProfileTextTest, LongStrayLineWithoutLineEnd) {
  ProfileDocument document;
  EXPECT_EQ(Parse(document, std::string(500 * 1024, 'x')), StatusBadFormat);
  EXPECT_EQ(Parse(document, "[" + std::string(500 * 1024, 'x')), StatusBadFormat);
  EXPECT_EQ(document.SectionCount(), 0);
}

TEST(ProfileTextTest, ThousandsOfSectionsOfOneName) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "[S]\r\nn=" + std::to_string(i) + "\r\n";
  ProfileDocument document;
  ASSERT_EQ(Parse(document, text), StatusOk);
  EXPECT_EQ(document.SectionCount(), 5000);
  EXPECT_EQ(document.sectionIndex.names, 1);
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.FindSection("S", &section, false), StatusOk);
  EXPECT_STREQ(section->entries[0].Value(), "4999");
}

TEST(ProfileTextTest, ManyMegabytesOfEntries) {
  std::string text;
  for (int s = 0; s < 200; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int e = 0; e < 500; ++e) text += "key" + std::to_string(e) + " = value " + std::to_string(s * 500 + e) + "\r\n";
  }
  ASSERT_GT(text.size(), 2u * 1024 * 1024);
  ProfileDocument document;
  ASSERT_EQ(Parse(document, text), StatusOk);
  ASSERT_EQ(document.SectionCount(), 200);
  ProfileSection* section = nullptr;
  ASSERT_EQ(document.FindSection("Section123", &section, false), StatusOk);
  ProfileEntry* entry = nullptr;
  ASSERT_EQ(section->FindEntry("key456", &entry, false), StatusOk);
  EXPECT_STREQ(entry->Value(), "value 61956");
  EXPECT_EQ(WrittenProfileText(document).size(), text.size() + 2);
}

TEST(ProfileTextTest, NulBytesEverywhere) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += std::string("[A]\0k=v\n", 8);
  ProfileDocument document;
  EXPECT_EQ(Parse(document, text), StatusOk);
  EXPECT_EQ(DumpProfile(document), "[A]");
}

TEST(ProfileTextTest, NoTextIsEmpty) {
  ProfileDocument document;
  EXPECT_EQ(ReadProfileText(document, nullptr, 10), StatusOk);
  EXPECT_EQ(document.SectionCount(), 0);
}

}  // namespace

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
