#include "foundation/containers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "foundation/paths.h"
#include "foundation/strings.h"
#include "support/path_of.h"

namespace {

TEST(TypedArrayTest, StartsEmptyWithoutABlock) {
  TypedArray<FixedPath> paths;
  EXPECT_EQ(paths.data, nullptr);
  EXPECT_EQ(paths.count, 0);
  EXPECT_EQ(paths.capacity, 0);
  EXPECT_FALSE(paths.IsBorrowed());
}

TEST(TypedArrayTest, AppendingFivePathsGivesCapacitiesOneTwoFourFourEight) {
  TypedArray<FixedPath> paths;
  const int32_t expected[] = {1, 2, 4, 4, 8};
  const char* texts[] = {"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e"};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(AppendPathCopy(paths, PathOf(texts[i])));
    EXPECT_EQ(paths.capacity, expected[i]);
    EXPECT_EQ(paths.count, i + 1);
  }
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(paths[i].Text(), texts[i]);
  EXPECT_EQ(sizeof(FixedPath), 261u);
  EXPECT_EQ(reinterpret_cast<char*>(&paths[1]) - reinterpret_cast<char*>(&paths[0]), 261);
}

TEST(TypedArrayTest, GrowTakesTheLargerOfDoubleAndNeeded) {
  TypedArray<int> numbers;
  ASSERT_TRUE(numbers.Grow(3));
  EXPECT_EQ(numbers.capacity, 3);
  ASSERT_TRUE(numbers.Grow(4));
  EXPECT_EQ(numbers.capacity, 6);
  ASSERT_TRUE(numbers.Grow(20));
  EXPECT_EQ(numbers.capacity, 20);
  ASSERT_TRUE(numbers.Grow(5));
  EXPECT_EQ(numbers.capacity, 20);
}

TEST(TypedArrayTest, GrowBeyondTheAddressSpaceFailsAndChangesNothing) {
  TypedArray<FixedPath> paths;
  ASSERT_TRUE(AppendPathCopy(paths, PathOf("C:\\a")));
  FixedPath* block = paths.data;
  EXPECT_FALSE(paths.Grow(INT32_MAX));
  EXPECT_EQ(paths.data, block);
  EXPECT_EQ(paths.capacity, 1);
  EXPECT_EQ(paths.count, 1);
}

TEST(TypedArrayTest, ClearArrayKeepsTheBlockForReuse) {
  TypedArray<String> texts;
  ASSERT_TRUE(AppendTextCopy(texts, "one"));
  ASSERT_TRUE(AppendTextCopy(texts, "two"));
  ASSERT_TRUE(AppendTextCopy(texts, "three"));
  String* block = texts.data;
  texts.ClearArray();
  EXPECT_EQ(texts.count, 0);
  EXPECT_EQ(texts.capacity, 4);
  EXPECT_EQ(texts.data, block);
  ASSERT_TRUE(AppendTextCopy(texts, "again"));
  EXPECT_EQ(texts.data, block);
  EXPECT_STREQ(texts[0].Text(), "again");
}

// Counts its destructions, to see which elements an operation destroys.
struct Counted {
  static int destroyed;
  int value;
  ~Counted() { ++destroyed; }
};
int Counted::destroyed = 0;

}  // namespace

// Counted only counts destructions: its bytes may move.
template <>
struct IsByteMovable<Counted> : std::true_type {};

namespace {

// A type that points into itself must never become an element.
static_assert(!IsByteMovable<std::string>::value, "std::string keeps a pointer into its own buffer");
static_assert(IsByteMovable<String>::value && IsByteMovable<FixedPath>::value && IsByteMovable<int>::value, "");

bool AppendCounted(TypedArray<Counted>& list, int value) {
  return list.Append([value](void* slot) {
    new (slot) Counted{value};
    return true;
  });
}

TEST(TypedArrayTest, ClearAndDestroyDestroyEveryOwnedElementOnce) {
  Counted::destroyed = 0;
  {
    TypedArray<Counted> list;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(AppendCounted(list, i));
    list.ClearArray();
    EXPECT_EQ(Counted::destroyed, 5);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(AppendCounted(list, i));
    list.DestroyArray();
    EXPECT_EQ(Counted::destroyed, 8);
    ASSERT_TRUE(AppendCounted(list, 9));
  }
  EXPECT_EQ(Counted::destroyed, 9);  // the destructor destroys what is left
}

TEST(TypedArrayTest, BorrowedElementsAreNeverDestroyed) {
  Counted block[2] = {{1}, {2}};
  Counted::destroyed = 0;
  {
    TypedArray<Counted> view;
    view.Borrow(block, 2);
    view.DestroyArray();
    view.ClearArray();
  }
  EXPECT_EQ(Counted::destroyed, 0);
}

TEST(TypedArrayTest, BorrowedArrayLeavesElementsAndBlockAlone) {
  FixedPath* block = static_cast<FixedPath*>(std::malloc(2 * sizeof(FixedPath)));
  new (&block[0]) FixedPath(PathOf("C:\\x"));
  new (&block[1]) FixedPath(PathOf("C:\\y"));
  {
    TypedArray<FixedPath> view;
    view.Borrow(block, 2);
    EXPECT_TRUE(view.IsBorrowed());
    EXPECT_FALSE(view.Grow(3));
    EXPECT_FALSE(AppendPathCopy(view, PathOf("C:\\z")));
    view.DestroyArray();
    EXPECT_EQ(view.data, block);
    EXPECT_EQ(view.count, 2);
    view.ClearArray();
    EXPECT_EQ(view.data, nullptr);
    EXPECT_EQ(view.count, 0);
  }
  EXPECT_EQ(block[0].mark, 1);
  EXPECT_STREQ(block[1].Text(), "C:\\y");
  block[0].~FixedPath();
  block[1].~FixedPath();
  std::free(block);
}

TEST(TypedArrayTest, DestroyArrayFreesAndForgets) {
  TypedArray<String> texts;
  ASSERT_TRUE(AppendTextCopy(texts, "x"));
  texts.DestroyArray();
  EXPECT_EQ(texts.data, nullptr);
  EXPECT_EQ(texts.count, 0);
  EXPECT_EQ(texts.capacity, 0);
  texts.DestroyArray();  // twice is harmless
}

TEST(TypedArrayTest, FailedConstructionIsNotCountedButTheCapacityStays) {
  TypedArray<String> texts;
  EXPECT_FALSE(texts.Append([](void*) { return false; }));
  EXPECT_EQ(texts.count, 0);
  EXPECT_EQ(texts.capacity, 1);
}

TEST(TypedArrayTest, EmptyTextCopiesAsAnEmptyString) {
  TypedArray<String> texts;
  ASSERT_TRUE(AppendTextCopy(texts, nullptr));
  ASSERT_TRUE(AppendTextCopy(texts, ""));
  EXPECT_EQ(texts.count, 2);
  EXPECT_EQ(texts[0].Text(), nullptr);
  EXPECT_EQ(texts[1].Length(), 0u);
}

TEST(TypedArrayTest, InsertMovesElementsBack) {
  TypedArray<String> texts;
  ASSERT_TRUE(AppendTextCopy(texts, "b"));
  ASSERT_TRUE(AppendTextCopy(texts, "c"));
  auto copyOf = [](const char* text) {
    return [text](void* slot) { return new (slot) String(), static_cast<String*>(slot)->Assign(text); };
  };
  ASSERT_TRUE(texts.Insert(0, copyOf("a")));
  ASSERT_TRUE(texts.Insert(3, copyOf("d")));
  ASSERT_EQ(texts.count, 4);
  EXPECT_STREQ(texts[0].Text(), "a");
  EXPECT_STREQ(texts[1].Text(), "b");
  EXPECT_STREQ(texts[2].Text(), "c");
  EXPECT_STREQ(texts[3].Text(), "d");
  EXPECT_FALSE(texts.Insert(5, copyOf("x")));
  EXPECT_FALSE(texts.Insert(1, [](void*) { return false; }));
  EXPECT_STREQ(texts[1].Text(), "b");
  EXPECT_EQ(texts.count, 4);
}

TEST(TypedArrayTest, RemoveLastDestroysOnlyTheLast) {
  TypedArray<String> texts;
  ASSERT_TRUE(AppendTextCopy(texts, "keep"));
  ASSERT_TRUE(AppendTextCopy(texts, "drop"));
  texts.RemoveLast();
  EXPECT_EQ(texts.count, 1);
  EXPECT_STREQ(texts[0].Text(), "keep");
}

}  // namespace

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
