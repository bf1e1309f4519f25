#include "foundation/core/typed_array.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
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
