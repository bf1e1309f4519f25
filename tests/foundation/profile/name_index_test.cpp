#include "foundation/profile/name_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Names that outlive the index, as the Strings of a document do.
std::vector<std::string> NamesOf(int n, const char* prefix = "name") {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

TEST(NameIndexTest, HashTakesBytesAsSignedTimesThirtyThree) {
  EXPECT_EQ(HashName(""), 0u);
  EXPECT_EQ(HashName("a"), 97u);
  EXPECT_EQ(HashName("ab"), 97u * 33 + 98);
  EXPECT_EQ(HashName("\xff"), 0xFFFFFFFFu);          // -1
  EXPECT_EQ(HashName("a\x80"), 97u * 33 - 128);      // 128 adds -128
  uint32_t expected = 0;
  for (char c : std::string("LastUpdateCheckTime")) expected = expected * 33 + static_cast<uint32_t>(c);
  EXPECT_EQ(HashName("LastUpdateCheckTime"), expected);
}

TEST(NameIndexTest, BucketCountsAreTheLargestPrimesBelowPowersOfTwo) {
  EXPECT_EQ(NameIndexBucketCounts[0], 31);
  EXPECT_EQ(NameIndexBucketCounts[1], 61);
  EXPECT_EQ(NameIndexBucketCounts[2], 127);
  EXPECT_EQ(NameIndexBucketCounts[26], 2147483647);
  for (int i = 0; i < 27; ++i) {
    const int64_t power = int64_t{1} << (i + 5);
    EXPECT_LT(NameIndexBucketCounts[i], power);
    EXPECT_GT(NameIndexBucketCounts[i], power / 2);
  }
}

TEST(NameIndexTest, EmptyIndexFindsNothing) {
  NameIndex index;
  int32_t position = -7;
  EXPECT_EQ(index.BucketCount(), 0);
  EXPECT_FALSE(index.Find("x", &position));
  EXPECT_EQ(position, -7);
}

TEST(NameIndexTest, ResizesWhenNamesPlusOneExceedTwiceTheBuckets) {
  std::vector<std::string> names = NamesOf(300);
  NameIndex index;
  ASSERT_TRUE(index.Insert(names[0].c_str(), 0));
  EXPECT_EQ(index.BucketCount(), 31);
  for (int i = 1; i < 62; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.names, 62);
  EXPECT_EQ(index.BucketCount(), 31);  // the 62nd went into 31 buckets
  ASSERT_TRUE(index.Insert(names[62].c_str(), 62));
  EXPECT_EQ(index.BucketCount(), 61);  // the 63rd brought 61
  EXPECT_EQ(index.buckets.capacity, 61);  // exactly, not doubled
  for (int i = 63; i < 122; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.BucketCount(), 61);  // 122 names in 61 buckets
  ASSERT_TRUE(index.Insert(names[122].c_str(), 122));
  EXPECT_EQ(index.BucketCount(), 127);
  for (int i = 123; i < 300; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  for (int i = 0; i < 300; ++i) {
    int32_t position = -1;
    ASSERT_TRUE(index.Find(names[i].c_str(), &position)) << names[i];
    EXPECT_EQ(position, i);
  }
}

TEST(NameIndexTest, ChainsStayShort) {
  std::vector<std::string> names = NamesOf(10000, "key");
  NameIndex index;
  for (int i = 0; i < 10000; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_GE(index.BucketCount() * 2, index.names);
  int longest = 0;
  for (int b = 0; b < index.BucketCount(); ++b) {
    int length = 0;
    for (NameIndexNode* node = index.buckets[b]; node; node = node->next) ++length;
    longest = std::max(longest, length);
  }
  EXPECT_LE(longest, 12);
}

TEST(NameIndexTest, LastAddedWins) {
  const std::string name = "site";
  NameIndex index;
  ASSERT_TRUE(index.Insert(name.c_str(), 0));
  ASSERT_TRUE(index.Insert("other", 1));
  ASSERT_TRUE(index.Insert(name.c_str(), 2));
  EXPECT_EQ(index.names, 2);
  int32_t position = -1;
  ASSERT_TRUE(index.Find("site", &position));
  EXPECT_EQ(position, 2);
}

TEST(NameIndexTest, NamesAreCaseSensitiveAndWhole) {
  NameIndex index;
  ASSERT_TRUE(index.Insert("Main", 0));
  int32_t position = -1;
  EXPECT_FALSE(index.Find("main", &position));
  EXPECT_FALSE(index.Find("Mai", &position));
  EXPECT_FALSE(index.Find("Main ", &position));
  EXPECT_TRUE(index.Find("Main", &position));
}

TEST(NameIndexTest, NoNameIsTheEmptyName) {
  NameIndex index;
  ASSERT_TRUE(index.Insert(nullptr, 4));
  int32_t position = -1;
  ASSERT_TRUE(index.Find("", &position));
  EXPECT_EQ(position, 4);
  ASSERT_TRUE(index.Find(nullptr, &position));
}

TEST(NameIndexTest, PoolAllocatesOneBlockPerThirtyTwoNames) {
  std::vector<std::string> names = NamesOf(65);
  NameIndex index;
  for (int i = 0; i < 32; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.pool.BlockCount(), 1);
  ASSERT_TRUE(index.Insert(names[32].c_str(), 32));
  EXPECT_EQ(index.pool.BlockCount(), 2);
  for (int i = 33; i < 65; ++i) ASSERT_TRUE(index.Insert(names[i].c_str(), i));
  EXPECT_EQ(index.pool.BlockCount(), 3);
}

TEST(NameIndexTest, EmptyingReusesNodesAndTheBucketBlock) {
  std::vector<std::string> first = NamesOf(64, "a"), second = NamesOf(64, "b");
  NameIndex index;
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(index.Insert(first[i].c_str(), i));
  NameIndexNode** bucketBlock = index.buckets.data;
  const int32_t bucketCapacity = index.buckets.capacity;
  EXPECT_EQ(index.pool.BlockCount(), 2);
  index.Empty();
  EXPECT_EQ(index.names, 0);
  EXPECT_EQ(index.BucketCount(), 0);
  EXPECT_EQ(index.buckets.data, bucketBlock);
  EXPECT_EQ(index.buckets.capacity, bucketCapacity);
  int32_t position = -1;
  EXPECT_FALSE(index.Find(first[0].c_str(), &position));
  for (int i = 0; i < 64; ++i) ASSERT_TRUE(index.Insert(second[i].c_str(), i));
  EXPECT_EQ(index.pool.BlockCount(), 2);  // every node came from the free list
  EXPECT_EQ(index.buckets.data, bucketBlock);
  EXPECT_EQ(index.BucketCount(), 61);
  EXPECT_TRUE(index.Find(second[63].c_str(), &position));
  EXPECT_EQ(position, 63);
  EXPECT_FALSE(index.Find(first[63].c_str(), &position));
}

TEST(NameIndexTest, SmallBlockSizesAreRaisedToTen) {
  NameNodePool pool(3);
  EXPECT_EQ(pool.blockNodes, 10);
  std::vector<NameIndexNode*> nodes;
  for (int i = 0; i < 11; ++i) nodes.push_back(pool.Take());
  EXPECT_EQ(pool.BlockCount(), 2);
  pool.GiveBack(nodes[4]);
  EXPECT_EQ(pool.Take(), nodes[4]);
}

}  // namespace
