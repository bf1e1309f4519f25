#include "installation/installation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/core/strings.h"
#include "support/path_of.h"
#include "support/registry_win32.h"
#include "support/temp_folder_win32.h"

namespace {

// A caller's buffer followed by guard bytes, to show that a read never runs
// past the buffer. It starts as the text "as passed".
template <size_t Bytes>
struct GuardedBuffer {
  char buffer[Bytes];
  char guard[8];

  GuardedBuffer() {
    memset(this, 'g', sizeof *this);
    strcpy(buffer, "as passed");
  }
  bool GuardIntact() const { return std::string(guard, sizeof guard) == std::string(sizeof guard, 'g'); }
};

// The player's keys and the Netscape keys the tests make are removed before
// and after every test.
class InstallationLocationsTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveKeys(); }
  void TearDown() override { RemoveKeys(); }
  static void RemoveKeys() {
    DeleteMachineKeyTree(TechnologyKeyPath);
    DeleteMachineKeyTree(MakerKeyPath);
    DeleteMachineKeyTree("Software\\Netscape");
  }

  TempFolder folder_;
};

// The two folder reads share their behaviour; every case runs on both.
struct FolderRead {
  const char* name;
  const char* keyPath;
  const char* valueName;
  bool (*read)(FixedPath&, String*);
};
const FolderRead folderReads[] = {
    {"ReadComponentPath", PlayerKeyPath, ComponentPathValueName, ReadComponentPath},
    {"ReadApplicationPath", MakerKeyPath, ApplicationPathValueName, ReadApplicationPath},
};

TEST_F(InstallationLocationsTest, AFolderValueNamingAnExistingFolderIsFound) {
  for (const auto& r : folderReads) {
    for (const std::string& stored : {folder_.Path(), folder_.Path() + std::string("\0", 1), folder_.Path() + "\\"}) {
      ASSERT_TRUE(SetRawMachineValue(r.keyPath, r.valueName, REG_SZ, stored));
      const std::string expected = stored.c_str();
      FixedPath path;
      String text;
      EXPECT_TRUE(r.read(path, &text)) << r.name << " " << stored;
      EXPECT_EQ(path.Text(), expected) << r.name;
      EXPECT_EQ(text.TextOrEmpty(), expected) << r.name;
      FixedPath pathOnly;
      EXPECT_TRUE(r.read(pathOnly, nullptr)) << r.name;
      EXPECT_EQ(pathOnly.Text(), expected) << r.name;
    }
  }
}

TEST_F(InstallationLocationsTest, AFolderValueThatIsNotAnExistingFolderIsReadButNotFound) {
  ASSERT_TRUE(WriteTextFile(folder_ / "file.txt", "x"));
  ASSERT_TRUE(MakeFolders(folder_ / "deleted"));
  RemovePath(folder_ / "deleted");
  for (const auto& r : folderReads) {
    for (const std::string& stored : {folder_ / "deleted", folder_ / "file.txt", std::string("relative\\name")}) {
      ASSERT_TRUE(SetRawMachineValue(r.keyPath, r.valueName, REG_SZ, stored));
      FixedPath path;
      String text;
      EXPECT_FALSE(r.read(path, &text)) << r.name << " " << stored;
      EXPECT_EQ(path.Text(), stored) << r.name;
      EXPECT_EQ(text.TextOrEmpty(), stored) << r.name;
    }
  }
}

TEST_F(InstallationLocationsTest, AMissingKeyLeavesPathAndTextAsTheyWere) {
  for (const auto& r : folderReads) {
    FixedPath path = PathOf("as passed");
    String text;
    ASSERT_TRUE(text.Assign("as passed"));
    EXPECT_FALSE(r.read(path, &text)) << r.name;
    EXPECT_STREQ(path.Text(), "as passed") << r.name;
    EXPECT_STREQ(text.TextOrEmpty(), "as passed") << r.name;
  }
}

TEST_F(InstallationLocationsTest, AnExpandableFolderValueIsFoundExpanded) {
  for (const auto& r : folderReads) {
    ASSERT_TRUE(SetRawMachineValue(r.keyPath, r.valueName, REG_EXPAND_SZ, folder_.Path()));
    FixedPath path;
    String text;
    EXPECT_TRUE(r.read(path, &text)) << r.name;
    EXPECT_EQ(path.Text(), folder_.Path()) << r.name;
    EXPECT_EQ(text.TextOrEmpty(), folder_.Path()) << r.name;
  }
}

TEST_F(InstallationLocationsTest, AnAbsentOrNonStringValueEmptiesPathAndText) {
  const struct {
    DWORD type;
    std::string stored;
  } cases[] = {
      {REG_NONE, ""},  // not stored at all: the key alone
      {REG_DWORD, std::string("\x01\x00\x00\x00", 4)},
      {REG_BINARY, std::string("C:\\", 3)},
      {REG_MULTI_SZ, std::string("C:\\\0\0", 5)},
  };
  for (const auto& r : folderReads) {
    for (const auto& c : cases) {
      DeleteMachineKeyTree(r.keyPath);
      ASSERT_TRUE(SetMachineString(r.keyPath, "Other Value", "x"));
      if (c.type != REG_NONE) ASSERT_TRUE(SetRawMachineValue(r.keyPath, r.valueName, c.type, c.stored));
      FixedPath path = PathOf("as passed");
      String text;
      ASSERT_TRUE(text.Assign("as passed"));
      EXPECT_FALSE(r.read(path, &text)) << r.name << " type " << c.type;
      EXPECT_STREQ(path.Text(), "") << r.name << " type " << c.type;
      EXPECT_STREQ(text.TextOrEmpty(), "") << r.name << " type " << c.type;
    }
  }
}

// A value longer than a path keeps names no folder, not even when its first
// 256 characters name one: the text keeps it whole.
TEST_F(InstallationLocationsTest, ALongFolderValueIsKeptWholeInTheTextAndNamesNoFolder) {
  // A folder whose path is as long as a path may be.
  const std::string cut = folder_ / std::string(FixedPath::SetTextLimit - folder_.Path().size() - 1, 'c');
  ASSERT_EQ(cut.size(), FixedPath::SetTextLimit);
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + std::wstring(cut.begin(), cut.end())).c_str(), nullptr));
  for (const auto& r : folderReads) {
    for (size_t length : {256u, 257u, 300u, 999u, 1000u, 1500u}) {
      for (bool terminated : {false, true}) {
        for (const std::string& start : {folder_.Path(), cut}) {
          if (length <= start.size() + 1) continue;
          const std::string value = start + "\\" + std::string(length - start.size() - 1, 'n');
          ASSERT_EQ(value.size(), length);
          ASSERT_TRUE(SetRawMachineValue(r.keyPath, r.valueName, REG_SZ, terminated ? value + '\0' : value));
          FixedPath path;
          String text;
          EXPECT_FALSE(r.read(path, &text)) << r.name << " " << length;  // no such folder
          EXPECT_EQ(path.Text(), length <= FixedPath::SetTextLimit ? value : std::string()) << r.name << " " << length;
          EXPECT_EQ(text.TextOrEmpty(), value) << r.name << " " << length << " terminated " << terminated;
        }
      }
    }
  }
}

TEST_F(InstallationLocationsTest, ReadRegistryStringReadsAnyKeyOrLeavesTheBuffer) {
  const std::string versionKey = std::string(NavigatorKeyPath) + "\\4.8 (en)\\" + NavigatorMainSubkeyName;
  ASSERT_TRUE(SetMachineString(NavigatorKeyPath, CurrentVersionValueName, "4.8 (en)"));
  ASSERT_TRUE(SetMachineString(versionKey, PluginsDirectoryValueName, "C:\\Netscape\\Plugins"));
  char buffer[RegistryStringBufferBytes];

  strcpy(buffer, "as passed");
  EXPECT_TRUE(ReadRegistryString(NavigatorKeyPath, CurrentVersionValueName, buffer));
  EXPECT_STREQ(buffer, "4.8 (en)");
  EXPECT_TRUE(ReadRegistryString(versionKey.c_str(), PluginsDirectoryValueName, buffer));
  EXPECT_STREQ(buffer, "C:\\Netscape\\Plugins");

  strcpy(buffer, "as passed");
  EXPECT_TRUE(ReadRegistryString(NavigatorKeyPath, "Absent", buffer));  // the key opened
  EXPECT_STREQ(buffer, "as passed");
  EXPECT_FALSE(ReadRegistryString("Software\\Netscape\\Missing", CurrentVersionValueName, buffer));
  EXPECT_STREQ(buffer, "as passed");
}

TEST_F(InstallationLocationsTest, ReadRegistryStringNeverRunsPastItsBuffer) {
  const size_t fits = RegistryStringBufferBytes - 1;
  const struct {
    std::string stored;
    bool read;
  } cases[] = {
      {std::string(fits, 'v'), true},
      {std::string(fits, 'v') + '\0', true},  // fills the buffer exactly
      {std::string(fits + 1, 'v'), false},    // fills it with no room for the terminator
      {std::string(fits + 1, 'v') + '\0', false},
      {std::string(20000, 'v'), false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRawMachineValue(NavigatorKeyPath, CurrentVersionValueName, REG_SZ, c.stored));
    GuardedBuffer<RegistryStringBufferBytes> area;
    EXPECT_TRUE(ReadRegistryString(NavigatorKeyPath, CurrentVersionValueName, area.buffer));
    EXPECT_EQ(std::string(area.buffer), c.read ? std::string(fits, 'v') : "as passed") << c.stored.size();
    EXPECT_TRUE(area.GuardIntact()) << c.stored.size();
  }
}

TEST_F(InstallationLocationsTest, ReadAdditionalDownloadUrlIsTrueOnlyForAWholeValue) {
  char buffer[DownloadUrlBufferBytes];
  strcpy(buffer, "as passed");
  EXPECT_FALSE(ReadAdditionalDownloadUrl(buffer));  // no player key
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, folder_.Path()));
  EXPECT_FALSE(ReadAdditionalDownloadUrl(buffer));  // no value
  EXPECT_STREQ(buffer, "as passed");

  const size_t fits = DownloadUrlBufferBytes - 1;
  const std::string site = "http://beta.example.com/QuillframeComponentsBeta/";
  const struct {
    std::string stored;
    bool read;
    std::string text;
  } cases[] = {
      {site, true, site},
      {site + '\0', true, site},
      {"", true, ""},
      {std::string(fits, 'u'), true, std::string(fits, 'u')},
      {std::string(fits, 'u') + '\0', true, std::string(fits, 'u')},  // exactly 1000 bytes
      {std::string(fits + 1, 'u'), false, "as passed"},               // 1000 bytes, no terminator
      {std::string(fits + 1, 'u') + '\0', false, "as passed"},
      {std::string(1500, 'u'), false, "as passed"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRawMachineValue(PlayerKeyPath, AdditionalDownloadUrlValueName, REG_SZ, c.stored));
    GuardedBuffer<DownloadUrlBufferBytes> area;
    EXPECT_EQ(ReadAdditionalDownloadUrl(area.buffer), c.read) << c.stored.size();
    EXPECT_EQ(std::string(area.buffer), c.text) << c.stored.size();
    EXPECT_TRUE(area.GuardIntact()) << c.stored.size();
  }
}

TEST_F(InstallationLocationsTest, SetPlayerValueMakesTheMissingKeys) {
  const struct {
    const char* name;
    const char* existingKey;
  } cases[] = {
      {"no keys", nullptr},
      {"technology key only", TechnologyKeyPath},
      {"player key", PlayerKeyPath},
  };
  for (const auto& c : cases) {
    RemoveKeys();
    if (c.existingKey) ASSERT_TRUE(SetMachineString(c.existingKey, "Kept", "kept"));
    EXPECT_TRUE(SetPlayerValue(AdditionalDownloadUrlValueName, "http://beta.example.com/")) << c.name;
    EXPECT_TRUE(MachineKeyExists(TechnologyKeyPath)) << c.name;
    DWORD type = REG_NONE;
    bool found = false;
    const std::string stored = RawMachineValue(PlayerKeyPath, AdditionalDownloadUrlValueName, &type, &found);
    EXPECT_TRUE(StoredAsText(stored, "http://beta.example.com/")) << c.name;
    EXPECT_TRUE(found);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    if (c.existingKey) {
      bool kept = false;
      EXPECT_EQ(MachineString(c.existingKey, "Kept", &kept), "kept") << c.name;
      EXPECT_TRUE(kept) << c.name;
    }
  }
}

TEST_F(InstallationLocationsTest, SetPlayerValueStoresTextAsAStringAndEmptyTextAsAnEmptyOne) {
  const struct {
    const char* text;
    std::string stored;
  } cases[] = {
      {"http://beta.example.com/", "http://beta.example.com/"},
      {"", ""},
      {nullptr, ""},
      {"replaced", "replaced"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(SetPlayerValue(AdditionalDownloadUrlValueName, c.text));
    DWORD type = REG_NONE;
    bool found = false;
    const std::string stored = RawMachineValue(PlayerKeyPath, AdditionalDownloadUrlValueName, &type, &found);
    EXPECT_TRUE(StoredAsText(stored, c.stored)) << "[" << stored << "]";
    EXPECT_TRUE(found);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  }
  char buffer[DownloadUrlBufferBytes];
  EXPECT_TRUE(ReadAdditionalDownloadUrl(buffer));
  EXPECT_STREQ(buffer, "replaced");
}

TEST_F(InstallationLocationsTest, SetPlayerValueReportsARefusedWrite) {
  // The registry refuses value names longer than 16383 characters.
  const std::string tooLong(20000, 'n');
  EXPECT_FALSE(SetPlayerValue(tooLong.c_str(), "x"));
}

TEST_F(InstallationLocationsTest, RemovePlayerValueWithoutComponentFolderRemovesValueAndBothKeys) {
  ASSERT_TRUE(SetPlayerValue(AdditionalDownloadUrlValueName, "http://beta.example.com/"));
  EXPECT_TRUE(RemovePlayerValue(AdditionalDownloadUrlValueName));
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));
  EXPECT_TRUE(MachineKeyExists("Software"));
}

TEST_F(InstallationLocationsTest, RemovePlayerValueOfAnInstalledPlayerKeepsItsKeys) {
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, folder_.Path()));
  ASSERT_TRUE(SetPlayerValue(AdditionalDownloadUrlValueName, "http://beta.example.com/"));
  EXPECT_TRUE(RemovePlayerValue(AdditionalDownloadUrlValueName));
  bool found = true;
  MachineString(PlayerKeyPath, AdditionalDownloadUrlValueName, &found);
  EXPECT_FALSE(found);
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
  FixedPath path;
  EXPECT_TRUE(ReadComponentPath(path));

  EXPECT_FALSE(RemovePlayerValue(AdditionalDownloadUrlValueName));  // nothing left to remove
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
}

TEST_F(InstallationLocationsTest, RemovePlayerValueFailsWithoutTheValueButStillClearsEmptyKeys) {
  EXPECT_FALSE(RemovePlayerValue(AdditionalDownloadUrlValueName));  // no keys at all
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, folder_ / "deleted"));
  EXPECT_FALSE(RemovePlayerValue(AdditionalDownloadUrlValueName));
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));
}

TEST_F(InstallationLocationsTest, RemovePlayerKeysRemovesBothKeysUnlessOthersLieBelow) {
  RemovePlayerKeys();  // nothing there: nothing happens
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));

  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, folder_.Path()));
  ASSERT_TRUE(SetMachineString(TechnologyKeyPath, "Other", "x"));
  RemovePlayerKeys();
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  EXPECT_FALSE(MachineKeyExists(TechnologyKeyPath));

  // Another product's key below the technology key keeps it.
  ASSERT_TRUE(SetMachineString(PlayerKeyPath, ComponentPathValueName, folder_.Path()));
  ASSERT_TRUE(SetMachineString(std::string(TechnologyKeyPath) + "\\Other Product", "v", "x"));
  RemovePlayerKeys();
  EXPECT_FALSE(MachineKeyExists(PlayerKeyPath));
  EXPECT_TRUE(MachineKeyExists(TechnologyKeyPath));

  // A subkey below the player key keeps both.
  DeleteMachineKeyTree(TechnologyKeyPath);
  ASSERT_TRUE(SetMachineString(std::string(PlayerKeyPath) + "\\Sub", "v", "x"));
  RemovePlayerKeys();
  EXPECT_TRUE(MachineKeyExists(PlayerKeyPath));
  EXPECT_TRUE(MachineKeyExists(TechnologyKeyPath));
}

}  // namespace

namespace {

}  // namespace
