#include "inventory/component_inventory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/profile_dump.h"

namespace {

TEST(PlayerPluginFileNameTest, TellsThePlayersFilesByTheirLeadingCharacters) {
  const struct {
    const char* name;
    bool player;
  } cases[] = {
      {"NPQuillframe3.dll", true},
      {"NpQuillframe3.dll", true},
      {"npquillframe3x.DLL", true},
      {"NpQuillframe3.dllx", true},  // only ".dll" of the extension counts
      {"NpQuillframe3.old.dll", true},
      {"NpQuillframe3.exe", false},
      {"NpQuillframe3", false},  // no extension
      {"NpQuillframe3.dll.bak", false},
      {"NpQuillframe.dll", false},
      {"XNpQuillframe3.dll", false},
      {"Quillframe3.class", true},
      {"quillframe3.CLASS", true},
      {"Quillframe3.classes", true},
      {"Quillframe3.clas", false},
      {"QFX3 runtime.zip", true},
      {"qfx3 RUNTIME", true},
      {"QFX3runtime.zip", false},
      {"QFX3 runtim", false},
      {"npnul32.dll", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlayerPluginFileName(c.name), c.player) << c.name;
}

TEST(PlayerPluginFileNameTest, NoNameIsNoPlayerFile) { EXPECT_FALSE(IsPlayerPluginFileName(nullptr)); }

}  // namespace

namespace {

// The product versions of the files of one case, by full path; files not in
// the map have none. Every read is counted.
std::map<std::string, uint32_t> versions;
int versionReads = 0;

uint32_t VersionFromTable(const FixedPath& file) {
  ++versionReads;
  auto found = versions.find(file.Text());
  return found == versions.end() ? 0 : found->second;
}

struct File {
  const char* path;
  uint32_t version;
};

void SetFiles(TypedArray<FixedPath>& list, const std::vector<File>& files) {
  list.ClearArray();
  versions.clear();
  versionReads = 0;
  for (const File& f : files) {
    FixedPath path;
    path.SetText(f.path);
    ASSERT_TRUE(AppendPathCopy(list, path));
    if (f.version) versions[f.path] = f.version;
  }
}

constexpr uint32_t V3_0_1_27 = 0x0300011B;
constexpr uint32_t V3_0_1_28 = 0x0300011C;
constexpr uint32_t V1_2_3_4 = 0x01020304;

struct VerifyCase {
  const char* name;
  std::string list;
  std::vector<File> files;
  int32_t code;
};

const std::string Section = "[DLL_Versions]\r\n";

const VerifyCase verifyCases[] = {
    {"ExactVersion", Section + "DLL=NpQuillframe3\r\nVersion=3.0.1.27\r\n",
     {{"C:\\P\\NpQuillframe3.dll", V3_0_1_27}}, 0},
    {"OtherVersion", Section + "DLL=NpQuillframe3\r\nVersion=3.0.1.27\r\n",
     {{"C:\\P\\NpQuillframe3.dll", V3_0_1_28}}, 1},
    {"LeadingZeroNeverMatches", Section + "DLL=NpQuillframe3\r\nVersion=3.0.01.27\r\n",
     {{"C:\\P\\NpQuillframe3.dll", V3_0_1_27}}, 1},
    {"CommaFormNeverMatches", Section + "DLL=NpQuillframe3\r\nVersion=3, 0, 1, 27\r\n",
     {{"C:\\P\\NpQuillframe3.dll", V3_0_1_27}}, 1},
    {"TrailingBlankNeverMatches", Section + "DLL=NpQuillframe3\r\nVersion=3.0.1.27 \r\n",
     {{"C:\\P\\NpQuillframe3.dll", V3_0_1_27}}, 1},
    {"SecondOfThreeFails",
     Section + "DLL=a\r\nVersion=1.2.3.4\r\nDLL=b\r\nVersion=1.2.3.4\r\nDLL=c\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}, {"C:\\P\\b.dll", V3_0_1_27}, {"C:\\P\\c.dll", V1_2_3_4}}, 2},
    {"FirstFailureEndsTheCheck",
     Section + "DLL=a\r\nVersion=1.2.3.4\r\nDLL=b\r\nVersion=1.2.3.4\r\nDLL=c\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}}, 2},
    {"NamesThenVersions", Section + "DLL=a\r\nDLL=b\r\nVersion=1.2.3.4\r\nVersion=3.0.1.27\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}, {"C:\\P\\b.dll", V3_0_1_27}}, 0},
    {"VersionsThenNames", Section + "Version=1.2.3.4\r\nVersion=3.0.1.27\r\nDLL=a\r\nDLL=b\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}, {"C:\\P\\b.dll", V1_2_3_4}}, 2},
    {"TwoNamesOneVersion", Section + "DLL=a\r\nDLL=b\r\nVersion=1.2.3.4\r\n", {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"OneNameTwoVersions", Section + "DLL=a\r\nVersion=1.2.3.4\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"NoSection", "[Other]\r\nDLL=a\r\nVersion=1.2.3.4\r\n", {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"SectionNameWithCase", "[dll_versions]\r\nDLL=a\r\nVersion=1.2.3.4\r\n", {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"EmptySection", Section, {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"EmptyList", "", {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"LowerCaseKeys", Section + "dll=a\r\nversion=1.2.3.4\r\n", {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"UpperCaseKeys", Section + "DLL=a\r\nVERSION=1.2.3.4\r\n", {{"C:\\P\\a.dll", V1_2_3_4}}, -3},
    {"OtherKeysIgnored", Section + "Name=x\r\nDLL=a\r\nComment=y\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}}, 0},
    {"LastSectionOfTheNameCounts",
     Section + "DLL=a\r\nVersion=9.9.9.9\r\n" + Section + "DLL=a\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}}, 0},
    {"NoFilesAtAll", Section + "DLL=a\r\nVersion=1.2.3.4\r\n", {}, 1},
    {"NoVersionComparesAsZero", Section + "DLL=a\r\nVersion=0\r\n", {{"C:\\P\\a.dll", 0}}, 0},
    {"NoVersionIsNotZeros", Section + "DLL=a\r\nVersion=0.0.0.0\r\n", {{"C:\\P\\a.dll", 0}}, 1},
    {"NoVersionFailsAVersion", Section + "DLL=a\r\nVersion=1.2.3.4\r\n", {{"C:\\P\\a.dll", 0}}, 1},
    {"SubstringOfTheName", Section + "DLL=Quillframe3\r\nVersion=3.0.1.27\r\n",
     {{"C:\\P\\Quillframe3Old.dll", V1_2_3_4}, {"C:\\P\\NpQuillframe3.dll", V3_0_1_27}}, 0},
    {"NameWithCase", Section + "DLL=npquillframe3\r\nVersion=3.0.1.27\r\n",
     {{"C:\\P\\NpQuillframe3.dll", V3_0_1_27}}, 1},
    {"OnlyTheFileNameCounts", Section + "DLL=Player\r\nVersion=3.0.1.27\r\n",
     {{"C:\\Player\\NpQuillframe3.dll", V3_0_1_27}}, 1},
    {"NameLongerThanTheFileName", Section + "DLL=a.dll.old\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V1_2_3_4}}, 1},
    {"AnyOfTwoCopiesSatisfies", Section + "DLL=a.dll\r\nVersion=1.2.3.4\r\n",
     {{"C:\\P\\a.dll", V3_0_1_27}, {"C:\\P\\Plugins\\a.dll", V1_2_3_4}}, 0},
    {"LargestNumbers", Section + "DLL=a\r\nVersion=255.255.255.255\r\n", {{"C:\\P\\a.dll", 0xFFFFFFFF}}, 0},
};

void PrintTo(const VerifyCase& c, std::ostream* os) { *os << c.name; }

class VerifyVersionDocumentTest : public testing::TestWithParam<VerifyCase> {};

TEST_P(VerifyVersionDocumentTest, GivesTheCodeOfTheFirstFailingPair) {
  const VerifyCase& c = GetParam();
  ProfileDocument document;
  LoadProfile(document, c.list);
  TypedArray<FixedPath> files;
  SetFiles(files, c.files);
  EXPECT_EQ(VerifyVersionDocument(document, files, VersionFromTable), c.code);
  EXPECT_LE(versionReads, files.count) << "each file's version is read at most once";
}

// The pairs of a case's list; false when it has none: nothing is checked then.
bool LoadPairs(const VerifyCase& c, VersionPairs& pairs) {
  ProfileDocument document;
  LoadProfile(document, c.list);
  CollectVersionPairs(document, pairs);
  return pairs.Count() > 0;
}

TEST_P(VerifyVersionDocumentTest, GivesTheSameCodeWhenItRemembersNothing) {
  const VerifyCase& c = GetParam();
  VersionPairs pairs;
  if (!LoadPairs(c, pairs)) return;
  TypedArray<FixedPath> files;
  SetFiles(files, c.files);
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable, false), c.code);
}

TEST_P(VerifyVersionDocumentTest, GivesTheSameCodeAndReadsWhenTheFilesComeOneByOne) {
  const VerifyCase& c = GetParam();
  VersionPairs pairs;
  if (!LoadPairs(c, pairs)) return;
  TypedArray<FixedPath> all;
  SetFiles(all, c.files);
  FindUnsatisfiedPair(pairs, all, VersionFromTable);
  const int wholeCheckReads = versionReads;

  // Appended one at a time, the files' block moves as it grows.
  versionReads = 0;
  TypedArray<FixedPath> files;
  PairCheck check(pairs, files, VersionFromTable);
  for (int32_t i = 0; i <= all.count; ++i) {
    if (i > 0) ASSERT_TRUE(AppendPathCopy(files, all[i - 1]));
    const int readsSoFar = versionReads;
    const int32_t expected = FindUnsatisfiedPair(pairs, files, VersionFromTable);
    versionReads = readsSoFar;
    EXPECT_EQ(check.Check(), expected) << "with the first " << i << " files";
  }
  EXPECT_EQ(check.Check(), c.code);
  EXPECT_EQ(versionReads, wholeCheckReads) << "the same versions read as by one check of all the files";
}

INSTANTIATE_TEST_SUITE_P(Lists, VerifyVersionDocumentTest, testing::ValuesIn(verifyCases),
                         [](const testing::TestParamInfo<VerifyCase>& info) { return info.param.name; });

TEST(CollectVersionPairsTest, KeepsEachKeysValuesInEntryOrder) {
  ProfileDocument document;
  LoadProfile(document, "[DLL_Versions]\nDLL=a\nVersion=1\nDLL=b\nDLL=c\nVersion=2\nVersion=3\nX=y\n");
  VersionPairs pairs;
  CollectVersionPairs(document, pairs);
  ASSERT_EQ(pairs.Count(), 3);
  const char* names[] = {"a", "b", "c"};
  const char* texts[] = {"1", "2", "3"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(pairs.names[i].TextOrEmpty(), names[i]);
    EXPECT_STREQ(pairs.versions[i].TextOrEmpty(), texts[i]);
  }
}

TEST(FindUnsatisfiedPairTest, ReadsEachFilesVersionOnce) {
  // Every name matches every file, and only the last file has the versions.
  ProfileDocument document;
  LoadProfile(document,
              "[DLL_Versions]\nDLL=.dll\nVersion=1.2.3.4\nDLL=dll\nVersion=1.2.3.4\nDLL=d\nVersion=1.2.3.4\n");
  VersionPairs pairs;
  CollectVersionPairs(document, pairs);
  TypedArray<FixedPath> files;
  SetFiles(files, {{"C:\\a.dll", 0}, {"C:\\b.dll", V3_0_1_27}, {"C:\\c.dll", V1_2_3_4}});
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable), 0);
  EXPECT_EQ(versionReads, 3);

  versionReads = 0;
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable, false), 0);
  EXPECT_EQ(versionReads, 9);
}

TEST(FindUnsatisfiedPairTest, EveryPieceOfAFileNameMatchesIt) {
  // Names are first sorted out by the pairs of characters they hold; no
  // piece of a name may be sorted out of the name itself.
  const std::string fileName = "NpQuillframe3.dll";
  TypedArray<FixedPath> files;
  SetFiles(files, {{"C:\\Other\\zzz.ocx", V1_2_3_4}, {"C:\\P\\NpQuillframe3.dll", V3_0_1_27}});
  VersionPairs pairs;
  for (size_t start = 0; start < fileName.size(); ++start) {
    for (size_t length = 1; start + length <= fileName.size(); ++length) {
      ASSERT_TRUE(AppendTextCopy(pairs.names, fileName.substr(start, length).c_str()));
      ASSERT_TRUE(AppendTextCopy(pairs.versions, "3.0.1.27"));
    }
  }
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable), 0);
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable, false), 0);
}

TEST(FindUnsatisfiedPairTest, ReadsNoVersionOfAFileWhoseNameDoesNotMatch) {
  ProfileDocument document;
  LoadProfile(document, "[DLL_Versions]\nDLL=b\nVersion=1.2.3.4\n");
  VersionPairs pairs;
  CollectVersionPairs(document, pairs);
  TypedArray<FixedPath> files;
  SetFiles(files, {{"C:\\a.dll", V1_2_3_4}, {"C:\\b.dll", V1_2_3_4}, {"C:\\c.dll", V1_2_3_4}});
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable), 0);
  EXPECT_EQ(versionReads, 1);
}

TEST(FindUnsatisfiedPairTest, AFileWithoutANameMatchesOnlyTheEmptyName) {
  TypedArray<FixedPath> files;
  SetFiles(files, {{"C:\\Folder\\", V1_2_3_4}});
  VersionPairs pairs;
  ASSERT_TRUE(AppendTextCopy(pairs.names, "Folder"));
  ASSERT_TRUE(AppendTextCopy(pairs.versions, "1.2.3.4"));
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable), 1);
  pairs.names.ClearArray();
  ASSERT_TRUE(AppendTextCopy(pairs.names, ""));
  EXPECT_EQ(FindUnsatisfiedPair(pairs, files, VersionFromTable), 0);
}

TEST(ContainsTextTest, FindsAPartAnywhereWithCase) {
  const struct {
    const char* text;
    const char* part;
    bool contained;
  } cases[] = {
      {"NpQuillframe3.dll", "NpQuillframe3", true},
      {"NpQuillframe3.dll", "Quillframe3", true},
      {"NpQuillframe3.dll", ".dll", true},
      {"NpQuillframe3.dll", "NpQuillframe3.dll", true},
      {"NpQuillframe3.dll", "npquillframe3", false},
      {"NpQuillframe3.dll", "NpQuillframe3.dllx", false},
      {"aaab", "aab", true},
      {"abab", "abb", false},
      {"x", "", true},
      {"", "", true},
      {"", "a", false},
  };
  for (const auto& c : cases) {
    // The text is copied into a block of exactly its size, so a read past
    // its end is caught by AddressSanitizer.
    std::vector<char> text(c.text, c.text + strlen(c.text));
    EXPECT_EQ(ContainsText(text.data(), static_cast<uint32_t>(text.size()), c.part,
                           static_cast<uint32_t>(strlen(c.part))),
              c.contained)
        << c.text << " / " << c.part;
  }
}

}  // namespace
