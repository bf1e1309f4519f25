#include "toolkit/grow_array.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

bool ElementsAreZero(const GrowArray& array, uint32_t from, uint32_t to) {
  const auto* bytes = static_cast<const unsigned char*>(array.block);
  for (size_t i = size_t{from} * array.elementSize; i < size_t{to} * array.elementSize; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

void ExpectAllFieldsZero(const GrowArray& array) {
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(array.capacity, 0u);
  EXPECT_EQ(array.flags, 0u);
  EXPECT_EQ(array.elementSize, 0);
  EXPECT_EQ(array.block, nullptr);
}

struct GrowthCase {
  uint32_t step;
  uint32_t capacity;  // at construction
  std::vector<std::pair<uint32_t, uint32_t>> countThenCapacity;
};

TEST(GrowArrayTest, SetCountGrowsByDoublingOrBySteps) {
  const GrowthCase cases[] = {
      {0, 0, {{1, 1}, {2, 2}, {3, 4}, {5, 8}, {8, 8}, {9, 16}}},
      {0, 0, {{5, 5}, {6, 10}, {21, 40}}},
      {0, 3, {{3, 3}, {4, 6}, {13, 24}}},
      {10, 0, {{1, 10}, {11, 20}, {20, 20}, {21, 30}, {55, 60}}},
      {1, 0, {{1, 1}, {2, 2}, {3, 3}, {7, 7}}},
      {4, 2, {{2, 2}, {3, 4}, {5, 8}}},
  };
  for (const auto& c : cases) {
    GrowArray array;
    ASSERT_TRUE(InitGrowArray(array, 4, 0, c.capacity, c.step, false));
    for (const auto& [count, capacity] : c.countThenCapacity) {
      ASSERT_TRUE(SetCount(array, count)) << "step " << c.step << " count " << count;
      EXPECT_EQ(array.count, count);
      EXPECT_EQ(array.capacity, capacity) << "step " << c.step << " count " << count;
      EXPECT_NE(array.block, nullptr);
    }
    EXPECT_TRUE(ReleaseGrowArray(array));
    ExpectAllFieldsZero(array);
  }
}

TEST(GrowArrayTest, AppendingOneByOneKeepsEveryElement) {
  GrowArray array;
  ASSERT_TRUE(InitGrowArray(array, sizeof(uint32_t), 0, 0, 0, false));
  for (uint32_t value = 0; value < 100; ++value) {
    ASSERT_TRUE(SetCount(array, array.count + 1));
    *static_cast<uint32_t*>(GrowArrayElement(array, array.count - 1)) = value * 3;
  }
  EXPECT_EQ(array.capacity, 128u);
  for (uint32_t i = 0; i < 100; ++i) {
    EXPECT_EQ(*static_cast<uint32_t*>(GrowArrayElement(array, i)), i * 3);
  }
  EXPECT_EQ(GrowArrayElement(array, 100), nullptr);
  ReleaseGrowArray(array);
}

TEST(GrowArrayTest, ConstructionSetsTheFlagsAndAllocatesOnlyForACapacity) {
  GrowArray array;
  ASSERT_TRUE(InitGrowArray(array, 8, 3, 5, 7, true));
  EXPECT_EQ(array.count, 3u);
  EXPECT_EQ(array.capacity, 5u);
  EXPECT_EQ(array.flags, GrowArray::ActiveFlag | GrowArray::ZeroFillFlag | 7u);
  EXPECT_EQ(array.elementSize, 8);
  ASSERT_NE(array.block, nullptr);
  EXPECT_TRUE(ElementsAreZero(array, 0, 5));
  ReleaseGrowArray(array);

  GrowArray empty;
  ASSERT_TRUE(InitGrowArray(empty, 8, 0, 0, 0xFFFFFFFFu, false));
  EXPECT_EQ(empty.block, nullptr);
  EXPECT_EQ(empty.flags, GrowArray::ActiveFlag | GrowArray::StepMask);  // the step keeps 29 bits
  ReleaseGrowArray(empty);
}

TEST(GrowArrayTest, SettingTheCountToZeroKeepsTheStorage) {
  GrowArray array;
  ASSERT_TRUE(InitGrowArray(array, 4, 0, 0, 0, false));
  ASSERT_TRUE(SetCount(array, 6));
  void* block = array.block;
  ASSERT_TRUE(SetCount(array, 0));
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(array.capacity, 6u);
  EXPECT_EQ(array.block, block);
  ReleaseGrowArray(array);
}

TEST(GrowArrayTest, SetCapacityResizesLowersTheCountAndFreesAtZero) {
  GrowArray array;
  ASSERT_TRUE(InitGrowArray(array, 2, 6, 8, 0, false));
  ASSERT_TRUE(SetCapacity(array, 8));  // the same capacity changes nothing
  EXPECT_EQ(array.count, 6u);
  ASSERT_TRUE(SetCapacity(array, 4));
  EXPECT_EQ(array.capacity, 4u);
  EXPECT_EQ(array.count, 4u);
  ASSERT_TRUE(SetCapacity(array, 12));
  EXPECT_EQ(array.count, 4u);
  ASSERT_TRUE(SetCapacity(array, 0));
  EXPECT_EQ(array.block, nullptr);
  EXPECT_EQ(array.count, 0u);
  EXPECT_TRUE(ReleaseGrowArray(array));
}

TEST(GrowArrayTest, ZeroFillClearsTheElementsAddedByGrowth) {
  GrowArray array;
  ASSERT_TRUE(InitGrowArray(array, 6, 0, 0, 0, true));
  ASSERT_TRUE(SetCount(array, 4));
  EXPECT_TRUE(ElementsAreZero(array, 0, 4));
  memset(array.block, 0xAB, 4 * 6);
  ASSERT_TRUE(SetCount(array, 5));
  ASSERT_EQ(array.capacity, 8u);
  EXPECT_FALSE(ElementsAreZero(array, 0, 1));
  EXPECT_TRUE(ElementsAreZero(array, 4, 8));

  // Storage given back and grown again reads as zero too.
  memset(array.block, 0xCD, 8 * 6);
  ASSERT_TRUE(SetCapacity(array, 2));
  ASSERT_TRUE(SetCount(array, 8));
  EXPECT_FALSE(ElementsAreZero(array, 0, 2));
  EXPECT_TRUE(ElementsAreZero(array, 2, 8));
  ReleaseGrowArray(array);
}

TEST(GrowArrayTest, ArrayOverACallersBlockOnlyShrinks) {
  uint16_t storage[8];
  for (uint16_t i = 0; i < 8; ++i) storage[i] = i;
  GrowArray array;
  ASSERT_TRUE(InitGrowArrayOver(array, sizeof(uint16_t), storage, 6, 8));
  EXPECT_EQ(array.flags, GrowArray::ActiveFlag | GrowArray::FixedBlockFlag);
  EXPECT_EQ(array.block, storage);
  EXPECT_FALSE(SetCount(array, 9));
  EXPECT_EQ(array.count, 6u);
  EXPECT_TRUE(SetCount(array, 8));
  EXPECT_TRUE(SetCount(array, 6));
  ASSERT_TRUE(SetCapacity(array, 4));
  EXPECT_EQ(array.capacity, 4u);
  EXPECT_EQ(array.count, 4u);
  EXPECT_EQ(array.block, storage);
  EXPECT_FALSE(SetCapacity(array, 5));
  EXPECT_FALSE(SetCount(array, 5));
  // Releasing only forgets the caller's block.
  EXPECT_TRUE(ReleaseGrowArray(array));
  ExpectAllFieldsZero(array);
  for (uint16_t i = 0; i < 8; ++i) EXPECT_EQ(storage[i], i);
}

TEST(GrowArrayTest, ConstructionRefusesBadArguments) {
  uint32_t storage[4];
  const struct {
    const char* what;
    bool over;
    int32_t elementSize;
    uint32_t count, capacity;
    void* block;
  } cases[] = {
      {"count above capacity", false, 4, 5, 4, nullptr},
      {"count above capacity over a block", true, 4, 5, 4, storage},
      {"negative element size", false, -4, 0, 4, nullptr},
      {"negative element size over a block", true, -4, 0, 4, storage},
      {"a capacity but no block", true, 4, 0, 4, nullptr},
      {"storage beyond any block", false, 0x10000, 0, 0x10000, nullptr},
  };
  for (const auto& c : cases) {
    GrowArray array;
    bool made = c.over ? InitGrowArrayOver(array, c.elementSize, c.block, c.count, c.capacity)
                       : InitGrowArray(array, c.elementSize, c.count, c.capacity, 0, true);
    EXPECT_FALSE(made) << c.what;
    EXPECT_EQ(array.flags, 0u) << c.what;
    EXPECT_EQ(array.count, 0u) << c.what;
    EXPECT_EQ(array.capacity, 0u) << c.what;
    EXPECT_EQ(array.block, nullptr) << c.what;
    EXPECT_FALSE(ReleaseGrowArray(array)) << c.what;
  }
}

TEST(GrowArrayTest, AnInactiveArrayRefusesEveryChange) {
  GrowArray neverConstructed;
  EXPECT_FALSE(ReleaseGrowArray(neverConstructed));
  ExpectAllFieldsZero(neverConstructed);

  GrowArray failed;
  ASSERT_FALSE(InitGrowArray(failed, 4, 3, 2, 0, false));
  EXPECT_FALSE(SetCount(failed, 3));
  EXPECT_FALSE(SetCapacity(failed, 3));
  EXPECT_EQ(failed.block, nullptr);
  EXPECT_FALSE(ReleaseGrowArray(failed));

  GrowArray released;
  ASSERT_TRUE(InitGrowArray(released, 4, 1, 1, 0, false));
  ASSERT_TRUE(ReleaseGrowArray(released));
  EXPECT_FALSE(ReleaseGrowArray(released));
  EXPECT_FALSE(SetCount(released, 1));
}

TEST(GrowArrayTest, GrowthBeyondThe32BitRangeFailsAndKeepsTheArray) {
  // 65536 elements of 65536 bytes would wrap a 32-bit byte count to 0.
  GrowArray wide;
  ASSERT_TRUE(InitGrowArray(wide, 0x10000, 0, 0, 0, false));
  ASSERT_TRUE(SetCount(wide, 2));
  void* block = wide.block;
  EXPECT_FALSE(SetCount(wide, 0x10000));
  EXPECT_EQ(wide.count, 2u);
  EXPECT_EQ(wide.capacity, 2u);
  EXPECT_EQ(wide.block, block);
  EXPECT_FALSE(SetCapacity(wide, 0x10000));
  EXPECT_EQ(wide.capacity, 2u);
  ReleaseGrowArray(wide);

  // Doubling a capacity past 2^32 must stop rather than wrap to 0.
  GrowArray empty;
  ASSERT_TRUE(InitGrowArray(empty, 0, 0, 0x80000000u, 0, false));
  EXPECT_EQ(empty.block, nullptr);
  EXPECT_FALSE(SetCount(empty, 0x80000001u));
  EXPECT_EQ(empty.capacity, 0x80000000u);

  // So must a step rounded up past 2^32.
  GrowArray stepped;
  ASSERT_TRUE(InitGrowArray(stepped, 0, 0, 0, 10, false));
  EXPECT_FALSE(SetCount(stepped, 0xFFFFFFFFu));
  EXPECT_EQ(stepped.capacity, 0u);
  ReleaseGrowArray(stepped);
  ReleaseGrowArray(empty);
}

}  // namespace
