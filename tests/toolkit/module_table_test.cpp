#include "toolkit/module_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/path_of.h"
#include "toolkit/path_parts.h"

namespace {

void* Handle(uintptr_t value) { return reinterpret_cast<void*>(value); }

TEST(ModuleTableTest, AddAndFind) {
  ModuleTable table;
  FixedPath path = UncutPathOf("C:\\Tools\\panel.exe");
  ASSERT_TRUE(AddModule(table, Handle(0x400000), 25001, &path));
  EXPECT_EQ(FindModuleHandle(table, 25001), Handle(0x400000));
  EXPECT_EQ(FindModuleHandle(table, 7), nullptr);
  FixedPath found = UncutPathOf("previous");
  ASSERT_TRUE(FindModuleFile(table, 25001, found));
  EXPECT_STREQ(found.Text(), "C:\\Tools\\panel.exe");
  // The table keeps a copy of its own.
  EXPECT_NE(table.entries[0].path, &path);
  EXPECT_EQ(table.entries[0].path->mark, 1);
  FixedPath untouched = UncutPathOf("untouched");
  EXPECT_FALSE(FindModuleFile(table, 7, untouched));
  EXPECT_STREQ(untouched.Text(), "untouched");
}

TEST(ModuleTableTest, APairIsRegisteredOnceButAKeyMayHaveSeveralHandles) {
  ModuleTable table;
  FixedPath first = UncutPathOf("C:\\first.dll");
  FixedPath second = UncutPathOf("C:\\second.dll");
  ASSERT_TRUE(AddModule(table, Handle(0x1000), 5, &first));
  EXPECT_FALSE(AddModule(table, Handle(0x1000), 5, &second));
  EXPECT_EQ(ModuleCount(table), 1u);
  ASSERT_TRUE(AddModule(table, Handle(0x2000), 5, &second));
  EXPECT_EQ(FindModuleHandle(table, 5), Handle(0x1000));
  FixedPath found;
  ASSERT_TRUE(FindModuleFile(table, 5, found));
  EXPECT_STREQ(found.Text(), "C:\\first.dll");
  // Removal takes the earlier entry; the later one then answers.
  ASSERT_TRUE(RemoveModule(table, 5));
  EXPECT_EQ(FindModuleHandle(table, 5), Handle(0x2000));
}

TEST(ModuleTableTest, RemovingTheFirstOfThreeKeepsTheOthersPackedInOrder) {
  ModuleTable table;
  FixedPath paths[] = {UncutPathOf("C:\\a.dll"), UncutPathOf("C:\\b.dll"), UncutPathOf("C:\\c.dll")};
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(AddModule(table, Handle(0x1000 * (i + 1)), 10 + i, &paths[i]));
  ASSERT_TRUE(RemoveModule(table, 10));
  EXPECT_EQ(table.entries[0].handle, Handle(0x2000));
  EXPECT_EQ(table.entries[0].key, 11);
  EXPECT_STREQ(table.entries[0].path->Text(), "C:\\b.dll");
  EXPECT_EQ(table.entries[1].handle, Handle(0x3000));
  EXPECT_EQ(table.entries[1].key, 12);
  EXPECT_STREQ(table.entries[1].path->Text(), "C:\\c.dll");
  EXPECT_EQ(table.entries[2].handle, nullptr);
  EXPECT_EQ(table.entries[2].key, 0);
  EXPECT_EQ(table.entries[2].path, nullptr);
  EXPECT_EQ(ModuleCount(table), 2u);
  EXPECT_FALSE(RemoveModule(table, 10));
}

TEST(ModuleTableTest, AFullTableRefusesMoreAndShiftsOnRemoval) {
  ModuleTable table;
  FixedPath path = UncutPathOf("C:\\m.dll");
  for (uint32_t i = 0; i < ModuleTable::Size; ++i) {
    ASSERT_TRUE(AddModule(table, Handle(0x1000 + i), static_cast<int32_t>(i), &path));
  }
  EXPECT_FALSE(AddModule(table, Handle(0x9999), 9999, &path));
  ASSERT_TRUE(RemoveModule(table, 255));  // the very last entry
  EXPECT_EQ(table.entries[ModuleTable::Size - 1].handle, nullptr);
  ASSERT_TRUE(RemoveModule(table, 0));
  EXPECT_EQ(table.entries[0].key, 1);
  EXPECT_EQ(table.entries[253].key, 254);
  EXPECT_EQ(table.entries[254].handle, nullptr);
  EXPECT_EQ(ModuleCount(table), 254u);
  ASSERT_TRUE(AddModule(table, Handle(0x9999), 9999, &path));
  EXPECT_EQ(table.entries[254].key, 9999);
}

TEST(ModuleTableTest, RefusesNoHandleNoPathAndAPathThatCannotBeCopiedWhole) {
  ModuleTable table;
  FixedPath path = UncutPathOf("C:\\m.dll");
  EXPECT_FALSE(AddModule(table, nullptr, 1, &path));
  EXPECT_FALSE(AddModule(table, Handle(0x1000), 1, nullptr));
  FixedPath deep = UncutPathOf("C:" + std::string(255, 'd') + "\\m");  // a directory of 256
  EXPECT_FALSE(AddModule(table, Handle(0x1000), 1, &deep));
  EXPECT_EQ(ModuleCount(table), 0u);
  EXPECT_EQ(table.entries[0].path, nullptr);
}

TEST(ModuleTableTest, KeyZeroMatchesOnlyARegisteredModule) {
  ModuleTable table;
  EXPECT_EQ(FindModuleHandle(table, 0), nullptr);
  EXPECT_FALSE(RemoveModule(table, 0));
  FixedPath out;
  EXPECT_FALSE(FindModuleFile(table, 0, out));
  FixedPath path = UncutPathOf("C:\\zero.dll");
  ASSERT_TRUE(AddModule(table, Handle(0x1000), 0, &path));
  EXPECT_EQ(FindModuleHandle(table, 0), Handle(0x1000));
  ASSERT_TRUE(RemoveModule(table, 0));
  EXPECT_FALSE(RemoveModule(table, 0));
}

}  // namespace
