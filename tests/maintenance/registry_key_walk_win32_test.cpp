// Walking keys: read-only opening, presence, subkey count and names.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "maintenance/registry_key.h"
#include "support/registry_win32.h"

namespace {

constexpr const char* ScratchKey = "Software\\CpanelRegistryWalkTest";

class RegistryWalkTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteMachineKeyTree(ScratchKey); }
  void TearDown() override { DeleteMachineKeyTree(ScratchKey); }
};

TEST_F(RegistryWalkTest, CountsAndNamesSubkeys) {
  for (const char* name : {"Alpha", "Beta", "Gamma With Blanks"})
    ASSERT_TRUE(SetMachineString(std::string(ScratchKey) + "\\" + name + "\\Leaf", "v", "x"));
  RegistryKey key;
  ASSERT_TRUE(key.OpenForReading(ScratchKey));
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
  ASSERT_TRUE(SetMachineString(ScratchKey, "v", "x"));
  RegistryKey key;
  ASSERT_TRUE(key.OpenForReading(ScratchKey));
  EXPECT_FALSE(key.SetString("w", "y"));
  EXPECT_FALSE(key.DeleteValue("v"));
}

TEST_F(RegistryWalkTest, OpeningFailsForMissingKeysAndEmptyPaths) {
  RegistryKey key;
  EXPECT_FALSE(key.OpenForReading(ScratchKey));
  EXPECT_FALSE(key.OpenForReading(""));
  EXPECT_FALSE(key.OpenForReading(nullptr));
  uint32_t count = 0;
  EXPECT_FALSE(key.CountSubkeys(&count));
}

TEST_F(RegistryWalkTest, TellsWhetherAKeyIsPresent) {
  EXPECT_EQ(RegistryKey::KeyPresence(ScratchKey), RegistryKey::Presence::Missing);
  ASSERT_TRUE(SetMachineString(ScratchKey, "v", "x"));
  EXPECT_EQ(RegistryKey::KeyPresence(ScratchKey), RegistryKey::Presence::Present);
  EXPECT_EQ(RegistryKey::KeyPresence(""), RegistryKey::Presence::Unknown);
}

}  // namespace
