#include "toolkit/context.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ToolkitContextTest, AttachCreatesOneContextAndTheLastDetachDestroysIt) {
  ASSERT_EQ(CurrentContext(), nullptr);
  EXPECT_FALSE(ContextLockExists());
  ASSERT_TRUE(AttachContext());
  ToolkitContext* context = CurrentContext();
  ASSERT_NE(context, nullptr);
  EXPECT_TRUE(ContextLockExists());
  EXPECT_EQ(context->attachCount, 1u);
  EXPECT_EQ(context->app, nullptr);
  for (const ContextSlot& slot : context->slots) {
    EXPECT_EQ(slot.inUse, 0);
    EXPECT_EQ(slot.value, nullptr);
  }
  ASSERT_TRUE(AttachContext());
  EXPECT_EQ(CurrentContext(), context);
  EXPECT_EQ(context->attachCount, 2u);

  ASSERT_TRUE(DetachContext());
  EXPECT_EQ(CurrentContext(), context);
  EXPECT_EQ(context->attachCount, 1u);
  EXPECT_TRUE(ContextLockExists());
  ASSERT_TRUE(DetachContext());
  EXPECT_EQ(CurrentContext(), nullptr);
  EXPECT_FALSE(ContextLockExists());
  EXPECT_FALSE(DetachContext());
}

TEST(ToolkitContextTest, ADetachWithoutContextLeavesTheLockWorking) {
  EXPECT_FALSE(DetachContext());
  EXPECT_FALSE(DetachContext());
  EXPECT_FALSE(ContextLockExists());
  // The next first user still creates the lock.
  ASSERT_TRUE(AttachContext());
  EXPECT_TRUE(ContextLockExists());
  ASSERT_TRUE(DetachContext());
  EXPECT_FALSE(ContextLockExists());
}

TEST(ToolkitContextTest, AFullTableRefusesAnAttachAndItsDetachDropsTheLock) {
  ContextTable table;
  for (int32_t key = 2; key < 2 + static_cast<int32_t>(ContextTable::Size); ++key) {
    ASSERT_TRUE(AttachContextIn(table, key)) << key;
  }
  EXPECT_FALSE(AttachContextIn(table, 1));
  EXPECT_EQ(ContextIn(table, 1), nullptr);
  EXPECT_FALSE(DetachContextIn(table, 1));
  EXPECT_TRUE(ContextLockExists());  // the sixteen contexts still hold it

  for (int32_t key = 2; key < 2 + static_cast<int32_t>(ContextTable::Size); ++key) {
    ASSERT_NE(ContextIn(table, key), nullptr);
    ASSERT_TRUE(DetachContextIn(table, key)) << key;
    EXPECT_EQ(ContextIn(table, key), nullptr);
  }
  EXPECT_FALSE(ContextLockExists());
  for (const ContextEntry& entry : table.entries) {
    EXPECT_EQ(entry.key, 0);
    EXPECT_EQ(entry.context, nullptr);
  }
}

TEST(ToolkitContextTest, KeyZeroIsNeverAttached) {
  ContextTable table;
  EXPECT_FALSE(AttachContextIn(table, 0));
  EXPECT_EQ(table.entries[0].context, nullptr);
  EXPECT_FALSE(DetachContextIn(table, 0));
  EXPECT_FALSE(ContextLockExists());
}

TEST(ToolkitContextTest, ContextsOfATableAreFoundByKey) {
  ContextTable table;
  ASSERT_TRUE(AttachContextIn(table, 7));
  ASSERT_TRUE(AttachContextIn(table, 9));
  ToolkitContext* seven = ContextIn(table, 7);
  ASSERT_NE(seven, nullptr);
  EXPECT_NE(ContextIn(table, 9), seven);
  ASSERT_TRUE(DetachContextIn(table, 7));
  ASSERT_TRUE(AttachContextIn(table, 11));  // takes the entry that was freed
  EXPECT_EQ(table.entries[0].key, 11);
  ASSERT_TRUE(DetachContextIn(table, 9));
  ASSERT_TRUE(DetachContextIn(table, 11));
  EXPECT_FALSE(ContextLockExists());
}

TEST(ToolkitContextTest, SlotsNeedAContext) {
  ASSERT_EQ(CurrentContext(), nullptr);
  int value = 0;
  EXPECT_FALSE(ClaimSlot(WindowManagerSlot));
  EXPECT_FALSE(SlotInUse(WindowManagerSlot));
  EXPECT_EQ(SlotValue(WindowManagerSlot), nullptr);
  EXPECT_FALSE(SetSlotValue(WindowManagerSlot, &value));
  EXPECT_FALSE(ReleaseSlot(WindowManagerSlot));
}

TEST(ToolkitContextTest, SlotsAreClaimedSetAndReleased) {
  ASSERT_TRUE(AttachContext());
  int value = 0;
  EXPECT_FALSE(SetSlotValue(WindowManagerSlot, &value));  // not claimed yet
  EXPECT_FALSE(ReleaseSlot(WindowManagerSlot));
  ASSERT_TRUE(ClaimSlot(WindowManagerSlot));
  EXPECT_TRUE(SlotInUse(WindowManagerSlot));
  EXPECT_FALSE(ClaimSlot(WindowManagerSlot));
  EXPECT_EQ(SlotValue(WindowManagerSlot), nullptr);
  ASSERT_TRUE(SetSlotValue(WindowManagerSlot, &value));
  EXPECT_EQ(SlotValue(WindowManagerSlot), &value);
  EXPECT_FALSE(SlotInUse(0));
  EXPECT_EQ(SlotValue(0), nullptr);
  ASSERT_TRUE(ReleaseSlot(WindowManagerSlot));
  EXPECT_FALSE(SlotInUse(WindowManagerSlot));
  EXPECT_EQ(SlotValue(WindowManagerSlot), nullptr);
  EXPECT_EQ(CurrentContext()->slots[WindowManagerSlot].value, nullptr);
  EXPECT_FALSE(ReleaseSlot(WindowManagerSlot));
  ASSERT_TRUE(ClaimSlot(0));
  EXPECT_TRUE(SlotInUse(0));
  ASSERT_TRUE(DetachContext());
}

TEST(ToolkitContextTest, SlotIndexesAbove31AreRefused) {
  ASSERT_TRUE(AttachContext());
  int value = 0;
  for (uint32_t index : {32u, 40u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(ClaimSlot(index)) << index;
    EXPECT_FALSE(SlotInUse(index)) << index;
    EXPECT_EQ(SlotValue(index), nullptr) << index;
    EXPECT_FALSE(SetSlotValue(index, &value)) << index;
    EXPECT_FALSE(ReleaseSlot(index)) << index;
  }
  ASSERT_TRUE(DetachContext());
}

}  // namespace
