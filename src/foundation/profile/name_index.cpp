#include "foundation/profile/name_index.h"

#include <cstdlib>
#include <cstring>
#include <new>

const int32_t NameIndexBucketCounts[27] = {
    31,       61,       127,      251,       509,       1021,      2039,      4093,      8191,
    16381,    32749,    65521,    131071,    262139,    524287,    1048573,   2097143,   4194301,
    8388593,  16777213, 33554393, 67108859,  134217689, 268435399, 536870909, 1073741789, 2147483647};

namespace {

// The name a node stores for an empty String, which has no characters.
const char* const EmptyName = "";

const char* NameOrEmpty(const char* name) { return name ? name : EmptyName; }

// The first bucket count greater than current; 0 when there is none.
int32_t NextBucketCount(int32_t current) {
  for (int32_t candidate : NameIndexBucketCounts) {
    if (candidate > current) return candidate;
  }
  return 0;
}

}  // namespace

// A block's header; its nodes follow it directly.
struct alignas(NameIndexNode) NameNodePool::Block {
  Block* next;
  NameIndexNode* Nodes() { return reinterpret_cast<NameIndexNode*>(this + 1); }
};

NameNodePool::NameNodePool(int32_t nodesPerBlock)
    : blockNodes(nodesPerBlock < SmallestBlockNodes ? SmallestBlockNodes : nodesPerBlock) {}

NameNodePool::~NameNodePool() {
  while (blocks) {
    Block* next = blocks->next;
    std::free(blocks);
    blocks = next;
  }
}

NameIndexNode* NameNodePool::Take() {
  if (freeNodes) {
    NameIndexNode* node = freeNodes;
    freeNodes = node->next;
    return node;
  }
  if (!blocks || usedInNewest == blockNodes) {
    const size_t bytes = sizeof(Block) + sizeof(NameIndexNode) * static_cast<size_t>(blockNodes);
    Block* block = static_cast<Block*>(std::malloc(bytes));
    if (!block) return nullptr;
    block->next = blocks;
    blocks = block;
    usedInNewest = 0;
  }
  return blocks->Nodes() + usedInNewest++;
}

void NameNodePool::GiveBack(NameIndexNode* node) {
  node->next = freeNodes;
  freeNodes = node;
}

int32_t NameNodePool::BlockCount() const {
  int32_t n = 0;
  for (const Block* block = blocks; block; block = block->next) ++n;
  return n;
}

uint32_t HashName(const char* name) {
  uint32_t hash = 0;
  for (const char* p = NameOrEmpty(name); *p; ++p) {
    hash = hash * 33u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
  }
  return hash;
}

bool NameIndex::Find(const char* name, int32_t* position) const {
  if (buckets.count == 0) return false;
  name = NameOrEmpty(name);
  const uint32_t bucket = HashName(name) % static_cast<uint32_t>(buckets.count);
  for (const NameIndexNode* node = buckets[static_cast<int32_t>(bucket)]; node; node = node->next) {
    if (strcmp(node->name, name) == 0) {
      *position = node->position;
      return true;
    }
  }
  return false;
}

bool NameIndex::Resize(int32_t bucketCount) {
  // Grow the bucket block first, so that a failure leaves every chain intact.
  if (buckets.capacity < bucketCount && !buckets.ResizeBlock(bucketCount)) return false;
  NameIndexNode* all = nullptr;
  for (int32_t b = 0; b < buckets.count; ++b) {
    NameIndexNode* node = buckets[b];
    while (node) {
      NameIndexNode* next = node->next;
      node->next = all;
      all = node;
      node = next;
    }
  }
  for (int32_t b = 0; b < bucketCount; ++b) buckets[b] = nullptr;
  buckets.count = bucketCount;
  while (all) {
    NameIndexNode* next = all->next;
    const uint32_t bucket = HashName(all->name) % static_cast<uint32_t>(bucketCount);
    all->next = buckets[static_cast<int32_t>(bucket)];
    buckets[static_cast<int32_t>(bucket)] = all;
    all = next;
  }
  return true;
}

bool NameIndex::Insert(const char* name, int32_t position) {
  name = NameOrEmpty(name);
  if (int64_t{names} + 1 > int64_t{buckets.count} * 2) {
    const int32_t next = NextBucketCount(buckets.count);
    // Past the largest count the chains simply grow longer.
    if (next != 0 && !Resize(next)) return false;
  }
  const uint32_t bucket = HashName(name) % static_cast<uint32_t>(buckets.count);
  NameIndexNode*& head = buckets[static_cast<int32_t>(bucket)];
  for (NameIndexNode* node = head; node; node = node->next) {
    if (strcmp(node->name, name) == 0) {
      node->position = position;
      return true;
    }
  }
  NameIndexNode* node = pool.Take();
  if (!node) return false;
  node->name = name;
  node->position = position;
  node->next = head;
  head = node;
  ++names;
  return true;
}

void NameIndex::Empty() {
  for (int32_t b = 0; b < buckets.count; ++b) {
    NameIndexNode* node = buckets[b];
    while (node) {
      NameIndexNode* next = node->next;
      pool.GiveBack(node);
      node = next;
    }
  }
  buckets.count = 0;
  names = 0;
}
