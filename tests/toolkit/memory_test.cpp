#include "toolkit/memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool AllBytesAre(const void* block, size_t from, size_t to, unsigned char value) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  for (size_t i = from; i < to; ++i) {
    if (bytes[i] != value) return false;
  }
  return true;
}

TEST(ToolkitMemoryTest, ZeroFilledBlockReadsAsZero) {
  void* block = ToolkitAlloc(64, true);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(AllBytesAre(block, 0, 64, 0));
  EXPECT_GE(ToolkitBlockSize(block), 64u);
  ToolkitFree(block);
}

TEST(ToolkitMemoryTest, ResizeKeepsTheContentsAndZeroFillsTheGrowth) {
  auto* block = static_cast<char*>(ToolkitAlloc(16, false));
  ASSERT_NE(block, nullptr);
  memset(block, 0x5A, 16);
  auto* grown = static_cast<char*>(ToolkitRealloc(block, 4096, true));
  ASSERT_NE(grown, nullptr);
  EXPECT_TRUE(AllBytesAre(grown, 0, 16, 0x5A));
  EXPECT_TRUE(AllBytesAre(grown, 16, 4096, 0));
  EXPECT_GE(ToolkitBlockSize(grown), 4096u);
  auto* shrunk = static_cast<char*>(ToolkitRealloc(grown, 8, false));
  ASSERT_NE(shrunk, nullptr);
  EXPECT_TRUE(AllBytesAre(shrunk, 0, 8, 0x5A));
  ToolkitFree(shrunk);
}

TEST(ToolkitMemoryTest, NoneAndEmptyResizesGiveNone) {
  EXPECT_EQ(ToolkitRealloc(nullptr, 16, true), nullptr);
  auto* block = static_cast<char*>(ToolkitAlloc(8, true));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(ToolkitRealloc(block, 0, false), nullptr);
  // The refused resize left the block as it was.
  block[7] = 'x';
  EXPECT_GE(ToolkitBlockSize(block), 8u);
  ToolkitFree(block);
  ToolkitFree(nullptr);
  EXPECT_EQ(ToolkitBlockSize(nullptr), 0u);
}

TEST(ToolkitMemoryTest, ZeroBytesClearsExactlyCountBytes) {
  unsigned char buffer[12];
  memset(buffer, 0xFF, sizeof buffer);
  ZeroBytes(buffer + 2, 8);
  EXPECT_TRUE(AllBytesAre(buffer, 0, 2, 0xFF));
  EXPECT_TRUE(AllBytesAre(buffer, 2, 10, 0));
  EXPECT_TRUE(AllBytesAre(buffer, 10, 12, 0xFF));
  ZeroBytes(buffer, 0);
  EXPECT_EQ(buffer[0], 0xFF);
}

}  // namespace
