#include "installation/registry_key.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "foundation/core/strings.h"
#include "foundation/core/what_if.h"
#include "support/registry_win32.h"

namespace {

constexpr const char* ScratchKey = "Software\\CpanelRegistryKeyTest";

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteMachineKeyTree(ScratchKey); }
  void TearDown() override { DeleteMachineKeyTree(ScratchKey); }
};

TEST_F(RegistryKeyTest, OpenFindsOnlyExistingKeysAndCreateMakesThemWithTheirParents) {
  RegistryKey key;
  EXPECT_FALSE(key.Open(ScratchKey));
  EXPECT_FALSE(key.IsOpen());
  EXPECT_TRUE(key.Create((std::string(ScratchKey) + "\\a\\b").c_str()));
  EXPECT_TRUE(key.IsOpen());
  EXPECT_TRUE(MachineKeyExists(std::string(ScratchKey) + "\\a\\b"));
  RegistryKey again;
  EXPECT_TRUE(again.Open((std::string(ScratchKey) + "\\a\\b").c_str()));
  key.Close();
  EXPECT_FALSE(key.IsOpen());
}

// The player's keys are in the 32-bit view. Where the machine has two views
// (a 64-bit build, or the 32-bit one on 64-bit Windows), a key of the same
// path in the native 64-bit view is another key, which the program never
// reads, writes or deletes. A 32-bit Windows has one view only.
TEST_F(RegistryKeyTest, EveryKeyIsTakenFromThe32BitView) {
  const std::string path = std::string(ScratchKey) + "\\views";
  auto write = [&](REGSAM view, const char* text) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return false;
    bool written = RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                  static_cast<DWORD>(strlen(text))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
  };
  auto exists = [&](REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  };
  ASSERT_TRUE(write(KEY_WOW64_64KEY, "native"));
  if (exists(KEY_WOW64_32KEY)) GTEST_SKIP() << "one registry view only (32-bit Windows)";

  RegistryKey key;
  EXPECT_FALSE(key.Open(path.c_str())) << "the native view's key is not the player's";
  ASSERT_TRUE(key.Create(path.c_str()));
  ASSERT_TRUE(key.SetString("v", "player"));
  String text;
  ASSERT_TRUE(key.ReadString("v", &text));
  EXPECT_STREQ(text.Text(), "player");
  bool found = false;
  EXPECT_EQ(MachineString(path, "v", &found), "player");  // the 32-bit view

  RegistryKey parent;
  ASSERT_TRUE(parent.Open(ScratchKey));
  key.Close();
  EXPECT_TRUE(parent.DeleteSubkey("views"));
  EXPECT_FALSE(exists(KEY_WOW64_32KEY));
  EXPECT_TRUE(exists(KEY_WOW64_64KEY)) << "the native view's key stays";

  HKEY native;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ScratchKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &native),
            ERROR_SUCCESS);
  RegDeleteTreeA(native, nullptr);
  RegCloseKey(native);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ScratchKey, KEY_WOW64_64KEY, 0);
}

// The system's keys (the Event Log's sources) are taken from its own view,
// the 64-bit one where there are two, and get the types the system reads:
// an expandable string with its terminator, and a number. A failure leaves
// the registry's reason.
TEST_F(RegistryKeyTest, TheSystemsKeysTakeTheTypesTheSystemReads) {
  const std::string path = std::string(ScratchKey) + "\\system";
  auto raw = [&](REGSAM view, const wchar_t* name, DWORD* type, std::wstring* bytes) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    wchar_t data[256] = {};
    DWORD size = sizeof data;
    const bool read = RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    bytes->assign(data, size / sizeof(wchar_t));
    return read;
  };
  const auto removeNative = [&] {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ScratchKey, KEY_WOW64_64KEY, 0);
  };
  removeNative();
  RegistryKey key(RegistryView::System);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(key.Open(path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "the registry's reason";
  EXPECT_FALSE(key.SetNumber("TypesSupported", 7));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  ASSERT_TRUE(key.Create(path.c_str()));
  const std::wstring file = L"C:\\\u03A9tools\\ControlPanel.exe";
  ASSERT_TRUE(key.SetExpandString("EventMessageFile", file));
  ASSERT_TRUE(key.SetNumber("TypesSupported", 7));
  DWORD type = REG_NONE;
  std::wstring stored;
  ASSERT_TRUE(raw(KEY_WOW64_64KEY, L"EventMessageFile", &type, &stored));
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_TRUE(stored == file + L'\0') << "with its terminator";
  uint32_t number = 0;
  EXPECT_TRUE(key.ReadNumber("TypesSupported", &number));
  EXPECT_EQ(number, 7u);
  EXPECT_FALSE(key.ReadNumber("EventMessageFile", &number)) << "a string is no number";
  EXPECT_FALSE(key.ReadNumber("absent", &number));
  std::wstring read;
  EXPECT_TRUE(key.ReadWideString("EventMessageFile", &read, true));
  EXPECT_TRUE(read == file);
  DescribeChanges(true);
  EXPECT_FALSE(key.SetNumber("TypesSupported", 5)) << "a run that describes its changes sets nothing";
  EXPECT_FALSE(key.SetExpandString("EventMessageFile", L"C:\\other.exe"));
  DescribeChanges(false);
  EXPECT_TRUE(key.ReadNumber("TypesSupported", &number));
  EXPECT_EQ(number, 7u);
  key.Close();
  removeNative();
}

TEST_F(RegistryKeyTest, AMissingOrEmptyPathNamesNoKey) {
  RegistryKey key;
  EXPECT_FALSE(key.Open(""));
  EXPECT_FALSE(key.Open(nullptr));
  EXPECT_FALSE(key.Create(""));
  EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, KeysOpenBelowAParent) {
  ASSERT_TRUE(SetMachineString(std::string(ScratchKey) + "\\child", "v", "below"));
  RegistryKey parent;
  ASSERT_TRUE(parent.Open(ScratchKey));
  RegistryKey child;
  EXPECT_TRUE(child.Open("child", &parent));
  EXPECT_FALSE(child.Open("missing", &parent));
  EXPECT_TRUE(child.IsOpen());  // a failed open keeps the key held
  EXPECT_TRUE(child.Create("made", &parent));
  EXPECT_TRUE(MachineKeyExists(std::string(ScratchKey) + "\\made"));
  RegistryKey closed;
  EXPECT_FALSE(child.Open("child", &closed));

  // A key may step down to its own subkey.
  EXPECT_TRUE(parent.Open("child", &parent));
  char text[16] = "";
  EXPECT_TRUE(parent.ReadString("v", text, sizeof text));
  EXPECT_STREQ(text, "below");
}

TEST_F(RegistryKeyTest, SetStringStoresTheTextAsAString) {
  RegistryKey key;
  ASSERT_TRUE(key.Create(ScratchKey));
  const struct {
    const char* text;
    std::string stored;
  } cases[] = {
      {"C:\\Program Files\\Player", "C:\\Program Files\\Player"},
      {"", ""},
      {nullptr, ""},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(key.SetString("value", c.text));
    DWORD type = REG_NONE;
    const std::string stored = RawMachineValue(ScratchKey, "value", &type);
    EXPECT_TRUE(StoredAsText(stored, c.stored)) << "[" << stored << "]";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  }
}

TEST_F(RegistryKeyTest, ReadStringCopesWithAndWithoutTerminatorAndStopsAtTheFirstNul) {
  const struct {
    std::string stored;
    const char* text;
  } cases[] = {
      {"plain", "plain"},
      {std::string("ended\0", 6), "ended"},
      {std::string("two\0parts", 9), "two"},
      {"", ""},
      {std::string("\0", 1), ""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRawMachineValue(ScratchKey, "value", REG_SZ, c.stored));
    DWORD type = REG_NONE;
    ASSERT_EQ(RawMachineValue(ScratchKey, "value", &type), c.stored);  // stored as given
    RegistryKey key;
    ASSERT_TRUE(key.Open(ScratchKey));
    String whole;
    EXPECT_TRUE(key.ReadString("value", &whole));
    EXPECT_STREQ(whole.TextOrEmpty(), c.text);
    char buffer[16];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(key.ReadString("value", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, c.text);
  }
}

TEST_F(RegistryKeyTest, ReadStringIntoABufferNeverRunsPastIt) {
  // capacity 8: seven characters and the terminator fit, eight do not.
  const struct {
    std::string stored;
    bool fits;
  } cases[] = {
      {"1234567", true},
      {std::string("1234567\0", 8), true},
      {"12345678", false},
      {std::string("12345678\0", 9), false},
      {std::string(1500, 'u'), false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRawMachineValue(ScratchKey, "value", REG_SZ, c.stored));
    DWORD type = REG_NONE;
    ASSERT_EQ(RawMachineValue(ScratchKey, "value", &type), c.stored);
    RegistryKey key;
    ASSERT_TRUE(key.Open(ScratchKey));
    char buffer[12];
    memcpy(buffer, "as passed\0yz", sizeof buffer);
    EXPECT_EQ(key.ReadString("value", buffer, 8), c.fits) << c.stored.size();
    EXPECT_STREQ(buffer, c.fits ? "1234567" : "as passed");
    EXPECT_EQ(std::string(buffer + 10, 2), "yz");
  }
}

TEST_F(RegistryKeyTest, ReadStringReadsLongValuesWhole) {
  for (size_t length : {999u, 1000u, 1500u, 9000u, 70000u}) {
    const std::string value(length, 'p');
    ASSERT_TRUE(SetRawMachineValue(ScratchKey, "value", REG_SZ, value));
    RegistryKey key;
    ASSERT_TRUE(key.Open(ScratchKey));
    String whole;
    EXPECT_TRUE(key.ReadString("value", &whole));
    EXPECT_EQ(whole.TextOrEmpty(), value) << length;
  }
}

TEST_F(RegistryKeyTest, ExpandableStringsReadExpanded) {
  char expandedRoot[MAX_PATH];
  ASSERT_GT(ExpandEnvironmentStringsA("%SystemRoot%", expandedRoot, MAX_PATH), 0u);
  const struct {
    std::string stored;
    std::string expected;
  } cases[] = {
      {"C:\\Quillframe\\Player", "C:\\Quillframe\\Player"},  // a literal path, as installers store it
      {std::string("C:\\Player\0", 10), "C:\\Player"},
      {"%SystemRoot%\\Player", std::string(expandedRoot) + "\\Player"},
      {"%NoSuchVariableHere%\\x", "%NoSuchVariableHere%\\x"},
      {"", ""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRawMachineValue(ScratchKey, "value", REG_EXPAND_SZ, c.stored));
    RegistryKey key;
    ASSERT_TRUE(key.Open(ScratchKey));
    String whole;
    EXPECT_TRUE(key.ReadString("value", &whole)) << c.stored;
    EXPECT_EQ(whole.TextOrEmpty(), c.expected);
    char buffer[MAX_PATH] = "before";
    EXPECT_TRUE(key.ReadString("value", buffer, sizeof buffer)) << c.stored;
    EXPECT_EQ(std::string(buffer), c.expected);
  }
}

TEST_F(RegistryKeyTest, ValuesThatAreNotStringsOrAbsentReadAsAbsent) {
  const struct {
    DWORD type;
    std::string stored;
  } cases[] = {
      {REG_DWORD, std::string("\x01\x02\x03\x04", 4)},
      {REG_BINARY, "binary"},
      {REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRawMachineValue(ScratchKey, "value", c.type, c.stored));
    RegistryKey key;
    ASSERT_TRUE(key.Open(ScratchKey));
    String whole;
    ASSERT_TRUE(whole.Assign("before"));
    EXPECT_FALSE(key.ReadString("value", &whole)) << c.type;
    EXPECT_STREQ(whole.TextOrEmpty(), "before");
    char buffer[16] = "before";
    EXPECT_FALSE(key.ReadString("value", buffer, sizeof buffer)) << c.type;
    EXPECT_STREQ(buffer, "before");
    EXPECT_FALSE(key.ReadString("absent", &whole));
    EXPECT_FALSE(key.ReadString("absent", buffer, sizeof buffer));
  }
  RegistryKey closed;
  String whole;
  EXPECT_FALSE(closed.ReadString("value", &whole));
}

TEST_F(RegistryKeyTest, DeleteValueAndSubkeyReportWhetherTheyRemovedSomething) {
  ASSERT_TRUE(SetMachineString(ScratchKey, "value", "x"));
  ASSERT_TRUE(SetMachineString(std::string(ScratchKey) + "\\leaf", "v", "x"));
  ASSERT_TRUE(SetMachineString(std::string(ScratchKey) + "\\branch\\leaf", "v", "x"));
  RegistryKey key;
  ASSERT_TRUE(key.Open(ScratchKey));
  EXPECT_TRUE(key.DeleteValue("value"));
  EXPECT_FALSE(key.DeleteValue("value"));
  EXPECT_TRUE(key.DeleteSubkey("leaf"));  // its values go with it
  EXPECT_FALSE(MachineKeyExists(std::string(ScratchKey) + "\\leaf"));
  EXPECT_FALSE(key.DeleteSubkey("leaf"));
  EXPECT_FALSE(key.DeleteSubkey("branch"));  // it still has a subkey
  EXPECT_TRUE(MachineKeyExists(std::string(ScratchKey) + "\\branch"));
  EXPECT_FALSE(key.DeleteSubkey(""));  // would be the key itself
  EXPECT_TRUE(MachineKeyExists(ScratchKey));
}

}  // namespace

// Walking keys: read-only opening, presence, subkey count and names.

namespace {

constexpr const char* WalkScratchKey = "Software\\CpanelRegistryWalkTest";

class RegistryWalkTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteMachineKeyTree(WalkScratchKey); }
  void TearDown() override { DeleteMachineKeyTree(WalkScratchKey); }
};

TEST_F(RegistryWalkTest, CountsAndNamesSubkeys) {
  for (const char* name : {"Alpha", "Beta", "Gamma With Blanks"})
    ASSERT_TRUE(SetMachineString(std::string(WalkScratchKey) + "\\" + name + "\\Leaf", "v", "x"));
  RegistryKey key;
  ASSERT_TRUE(key.OpenForReading(WalkScratchKey));
  uint32_t count = 99;
  ASSERT_TRUE(key.CountSubkeys(&count));
  EXPECT_EQ(count, 3u);
  std::set<std::string> names;
  for (uint32_t index = 0; index < count; ++index) {
    char name[512];
    ASSERT_TRUE(key.SubkeyName(index, name, sizeof name));
    names.insert(name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"Alpha", "Beta", "Gamma With Blanks"}));
  char name[512];
  EXPECT_FALSE(key.SubkeyName(count, name, sizeof name));
  char small[4];
  EXPECT_FALSE(key.SubkeyName(0, small, sizeof small)) << "a name that does not fit";

  RegistryKey leaf;
  ASSERT_TRUE(leaf.OpenForReading("Alpha\\Leaf", &key));
  ASSERT_TRUE(leaf.CountSubkeys(&count));
  EXPECT_EQ(count, 0u);
  char value[16];
  ASSERT_TRUE(leaf.ReadString("v", value, sizeof value));
  EXPECT_STREQ(value, "x");
}

TEST_F(RegistryWalkTest, AReadOnlyKeyCannotBeChanged) {
  ASSERT_TRUE(SetMachineString(WalkScratchKey, "v", "x"));
  RegistryKey key;
  ASSERT_TRUE(key.OpenForReading(WalkScratchKey));
  EXPECT_FALSE(key.SetString("w", "y"));
  EXPECT_FALSE(key.DeleteValue("v"));
}

TEST_F(RegistryWalkTest, OpeningFailsForMissingKeysAndEmptyPaths) {
  RegistryKey key;
  EXPECT_FALSE(key.OpenForReading(WalkScratchKey));
  EXPECT_FALSE(key.OpenForReading(""));
  EXPECT_FALSE(key.OpenForReading(nullptr));
  uint32_t count = 0;
  EXPECT_FALSE(key.CountSubkeys(&count));
}

TEST_F(RegistryWalkTest, TellsWhetherAKeyIsPresent) {
  EXPECT_EQ(RegistryKey::KeyPresence(WalkScratchKey), RegistryKey::Presence::Missing);
  ASSERT_TRUE(SetMachineString(WalkScratchKey, "v", "x"));
  EXPECT_EQ(RegistryKey::KeyPresence(WalkScratchKey), RegistryKey::Presence::Present);
  EXPECT_EQ(RegistryKey::KeyPresence(""), RegistryKey::Presence::Unknown);
}

// A run that describes its changes ("/whatif") changes no key or value: it
// notes them, and its own reads see the notes.
TEST_F(RegistryKeyTest, ARunThatDescribesItsChangesChangesNoKey) {
  const std::string scratch = ScratchKey;
  ASSERT_TRUE(SetMachineString(scratch, "v", "x"));
  ASSERT_TRUE(SetMachineString(scratch + "\\s", "w", "y"));
  DWORD type = REG_NONE;
  const std::string before = RawMachineValue(scratch, "v", &type);
  ForgetDescribedChanges();
  DescribeChanges(true);
  {
    RegistryKey key;
    ASSERT_TRUE(key.Open(ScratchKey));
    char value[16] = "";
    EXPECT_TRUE(key.SetString("v", "changed"));
    EXPECT_TRUE(key.ReadString("v", value, sizeof value));
    EXPECT_STREQ(value, "changed");
    EXPECT_TRUE(key.DeleteValue("v"));
    EXPECT_FALSE(key.ReadString("v", value, sizeof value));
    EXPECT_FALSE(key.DeleteValue("v")) << "already gone";
    EXPECT_FALSE(key.DeleteValue("missing"));

    RegistryKey made;
    EXPECT_TRUE(made.Create((scratch + "\\new\\deep").c_str()));
    EXPECT_TRUE(made.IsOpen());
    EXPECT_TRUE(made.SetString("n", "1"));
    EXPECT_EQ(RegistryKey::KeyPresence((scratch + "\\new\\deep").c_str()), RegistryKey::Presence::Present);
    EXPECT_FALSE(key.DeleteSubkey("new")) << "a key with a subkey stays";
    EXPECT_TRUE(key.DeleteSubkey("s"));
    EXPECT_EQ(RegistryKey::KeyPresence((scratch + "\\s").c_str()), RegistryKey::Presence::Missing);
    RegistryKey removed;
    EXPECT_FALSE(removed.Open((scratch + "\\s").c_str()));

    RegistryKey reading;
    ASSERT_TRUE(reading.OpenForReading(ScratchKey));
    EXPECT_FALSE(reading.SetString("r", "x")) << "nothing is changed through a key opened for reading";
  }
  DescribeChanges(false);
  ForgetDescribedChanges();
  EXPECT_EQ(RawMachineValue(scratch, "v", &type), before);
  EXPECT_TRUE(MachineKeyExists(scratch + "\\s"));
  EXPECT_FALSE(MachineKeyExists(scratch + "\\new"));
}

}  // namespace
