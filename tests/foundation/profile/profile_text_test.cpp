#include "foundation/profile/profile_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/profile_dump.h"

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
