// The reference order of the installed-components window's test
// (support/record_sorter) against std::sort and its own edge cases.
#include "support/record_sorter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "foundation/paths.h"

namespace {

typedef std::vector<FixedPath> Records;

FixedPath PathOf(const std::string& text) {
  FixedPath path;
  memset(path.text, 0, sizeof path.text);
  path.SetText(text.c_str());
  return path;
}

bool ComesBefore(const FixedPath& a, const FixedPath& b) {
  return memcmp(&a, &b, SortedRecordBytes) < 0;
}

// Sorts records through a GrowArray that views their block, as the
// installed-components window does.
bool Sort(Records& records) {
  GrowArray view;
  if (!InitGrowArrayOver(view, SortedRecordBytes, records.data(), records.size(), records.size())) return false;
  RecordSorter sorter;
  InitRecordSorter(sorter);
  const bool sorted = SortRecords(sorter, &view);
  ReleaseRecordSorter(sorter);
  ReleaseGrowArray(view);
  return sorted;
}

std::vector<std::string> TextsOf(const Records& records) {
  std::vector<std::string> texts;
  for (const FixedPath& path : records) texts.push_back(path.Text());
  return texts;
}

void ExpectSortedLikeStdSort(Records records) {
  Records expected = records;
  std::sort(expected.begin(), expected.end(), ComesBefore);
  ASSERT_TRUE(Sort(records));
  ASSERT_EQ(records.size(), expected.size());
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(memcmp(&records[i], &expected[i], SortedRecordBytes), 0) << "at " << i << " of " << records.size();
  }
}

Records RandomRecords(size_t n, uint32_t distinctKeys, uint32_t seed) {
  std::mt19937 random(seed);
  Records records;
  for (size_t i = 0; i < n; ++i) records.push_back(PathOf("C:\\f" + std::to_string(random() % distinctKeys)));
  return records;
}

TEST(RecordSorterTest, DefaultComparatorIsByteOrderOfTheSecondMinusTheFirst) {
  FixedPath a = PathOf("C:\\a"), b = PathOf("C:\\b");
  EXPECT_EQ(DefaultRecordComparator(&a, &b, 0), 1);  // 'b' - 'a': a belongs before b
  EXPECT_EQ(DefaultRecordComparator(&b, &a, 0), -1);
  EXPECT_EQ(DefaultRecordComparator(&a, &a, 0), 0);
  FixedPath high = PathOf("C:\\\xe9");
  EXPECT_GT(DefaultRecordComparator(&a, &high, 0), 0);  // bytes are unsigned
  FixedPath tail = a;
  tail.text[200] = 'x';  // behind the terminator, it still counts
  EXPECT_GT(DefaultRecordComparator(&a, &tail, 0), 0);
}

TEST(RecordSorterTest, PathsSortInAscendingByteOrder) {
  Records records = {PathOf("C:\\b"), PathOf("C:\\a\\z"), PathOf("C:\\A")};
  ASSERT_TRUE(Sort(records));
  EXPECT_EQ(TextsOf(records), (std::vector<std::string>{"C:\\A", "C:\\a\\z", "C:\\b"}));
}

TEST(RecordSorterTest, TwoRecords) {
  Records inOrder = {PathOf("a"), PathOf("b")};
  ASSERT_TRUE(Sort(inOrder));
  EXPECT_EQ(TextsOf(inOrder), (std::vector<std::string>{"a", "b"}));
  Records reversed = {PathOf("b"), PathOf("a")};
  ASSERT_TRUE(Sort(reversed));
  EXPECT_EQ(TextsOf(reversed), (std::vector<std::string>{"a", "b"}));
}

TEST(RecordSorterTest, EdgeSizesMatchStdSort) {
  for (size_t n : {0u, 1u, 2u, 3u, 15u, 16u, 17u, 31u, 32u, 33u, 100u, 1000u}) {
    SCOPED_TRACE(n);
    ExpectSortedLikeStdSort(RandomRecords(n, 1000000, static_cast<uint32_t>(n)));
  }
}

TEST(RecordSorterTest, RandomDataMatchesStdSort) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    ExpectSortedLikeStdSort(RandomRecords(seed * 97, 1000000, seed));
  }
}

TEST(RecordSorterTest, ManyEqualKeys) {
  ExpectSortedLikeStdSort(RandomRecords(2000, 3, 7));
  ExpectSortedLikeStdSort(RandomRecords(2000, 1, 7));  // all equal: ends, same records
}

TEST(RecordSorterTest, SortedAndReversedInput) {
  Records records = RandomRecords(3000, 1000000, 11);
  std::sort(records.begin(), records.end(), ComesBefore);
  ExpectSortedLikeStdSort(records);
  std::reverse(records.begin(), records.end());
  ExpectSortedLikeStdSort(records);
}

TEST(RecordSorterTest, OrganPipeAndSawtoothInput) {
  Records records;
  for (int i = 0; i < 1000; ++i) records.push_back(PathOf("k" + std::to_string(10000 + (i < 500 ? i : 999 - i))));
  ExpectSortedLikeStdSort(records);
  records.clear();
  for (int i = 0; i < 1000; ++i) records.push_back(PathOf("k" + std::to_string(10000 + i % 17)));
  ExpectSortedLikeStdSort(records);
}

// Compares only the first 8 bytes (the mark and "C:\\key"), so that records
// with equal keys can be told apart by what follows.
int32_t comparisons = 0;
int32_t KeyComparator(const void* a, const void* b, int32_t) {
  ++comparisons;
  return -memcmp(a, b, 8);
}

// n records with one key, numbered in their tails in order.
Records EqualKeysNumbered(int n) {
  Records records;
  for (int i = 0; i < n; ++i) records.push_back(PathOf("C:\\key" + std::to_string(100 + i)));
  return records;
}

bool SortByKey(Records& records) {
  GrowArray view;
  if (!InitGrowArrayOver(view, SortedRecordBytes, records.data(), records.size(), records.size())) return false;
  RecordSorter sorter;
  InitRecordSorter(sorter);
  comparisons = 0;
  const bool sorted = SortRecordsWith(sorter, &view, KeyComparator);
  ReleaseGrowArray(view);
  return sorted;
}

TEST(RecordSorterTest, FifteenRecordsUseOnlyInsertionSort) {
  // Insertion sort never moves equal records and compares each record once
  // with its predecessor when nothing moves.
  Records records = EqualKeysNumbered(15);
  const Records before = records;
  ASSERT_TRUE(SortByKey(records));
  EXPECT_EQ(comparisons, 14);
  EXPECT_EQ(TextsOf(records), TextsOf(before));
}

TEST(RecordSorterTest, SixteenRecordsPartitionFirst) {
  // The partition swaps the middle record to the front, which reorders
  // records whose keys are equal.
  Records records = EqualKeysNumbered(16);
  const Records before = records;
  ASSERT_TRUE(SortByKey(records));
  EXPECT_GT(comparisons, 15);
  EXPECT_NE(TextsOf(records), TextsOf(before));
  std::vector<std::string> sortedTexts = TextsOf(records), beforeTexts = TextsOf(before);
  std::sort(sortedTexts.begin(), sortedTexts.end());
  EXPECT_EQ(sortedTexts, beforeTexts);  // the same records, moved whole
}

TEST(RecordSorterTest, KeyOrderWithAnotherComparator) {
  Records records = RandomRecords(500, 40, 3);
  ASSERT_TRUE(SortByKey(records));
  for (size_t i = 1; i < records.size(); ++i) {
    ASSERT_GE(KeyComparator(&records[i - 1], &records[i], 0), 0) << i;
  }
}

TEST(RecordSorterTest, NotReadyOrNoRecordsSortsNothing) {
  RecordSorter sorter;  // never initialised: not ready
  Records records = {PathOf("b"), PathOf("a")};
  GrowArray view;
  ASSERT_TRUE(InitGrowArrayOver(view, SortedRecordBytes, records.data(), 2, 2));
  EXPECT_FALSE(SortRecords(sorter, &view));
  EXPECT_EQ(TextsOf(records), (std::vector<std::string>{"b", "a"}));
  InitRecordSorter(sorter);
  EXPECT_TRUE(sorter.ready);
  EXPECT_FALSE(SortRecords(sorter, nullptr));
  GrowArray wrongSize;
  ASSERT_TRUE(InitGrowArrayOver(wrongSize, 4, records.data(), 2, 2));
  EXPECT_FALSE(SortRecords(sorter, &wrongSize));
  EXPECT_EQ(TextsOf(records), (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(SortRecords(sorter, &view));
  EXPECT_EQ(sorter.records, &view);
  EXPECT_EQ(sorter.comparator, &DefaultRecordComparator);
  EXPECT_EQ(TextsOf(records), (std::vector<std::string>{"a", "b"}));
  ReleaseRecordSorter(sorter);
  EXPECT_EQ(sorter.records, nullptr);
  ReleaseGrowArray(view);
  ReleaseGrowArray(wrongSize);
}

TEST(RecordSorterTest, SorterStartsWithAnEmptyIndexArrayOfStepOne) {
  RecordSorter sorter;
  InitRecordSorter(sorter);
  EXPECT_EQ(sorter.indexes.elementSize, 4);
  EXPECT_EQ(sorter.indexes.count, 0u);
  EXPECT_EQ(sorter.indexes.capacity, 0u);
  EXPECT_EQ(sorter.indexes.flags & GrowArray::StepMask, 1u);
  EXPECT_EQ(sorter.indexes.block, nullptr);
}

}  // namespace
