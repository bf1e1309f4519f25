#pragma once
// The name index of profile documents: names of sections and keys to the
// position of the last one added under each.

#include <cstdint>

#include "foundation/core/typed_array.h"

// NameIndex: a chained hash table from a name to the position of the last
// section or entry added under it. The index never copies names: a node points
// at the characters of the String that owns them, which must stay in place
// while the name is indexed (the texts of profile names never change).
//
// Nodes come from a pool of blocks of 32 nodes from the C heap; emptying the
// index gives its nodes back to the pool's free list, and all blocks are
// released together when the index is destroyed. The bucket array keeps its
// block when the index is emptied.

struct NameIndexNode {
  NameIndexNode* next;   // the next node of its chain
  const char* name;      // the owner's characters, NUL-terminated
  int32_t position;
};

// Nodes carved from blocks that are linked through a small header.
struct NameNodePool {
  static constexpr int32_t StandardBlockNodes = 32;
  static constexpr int32_t SmallestBlockNodes = 10;

  struct Block;
  Block* blocks = nullptr;         // the newest block first
  NameIndexNode* freeNodes = nullptr;
  int32_t blockNodes = StandardBlockNodes;
  int32_t usedInNewest = 0;        // nodes handed out from the newest block

  explicit NameNodePool(int32_t nodesPerBlock = StandardBlockNodes);
  ~NameNodePool();
  NameNodePool(const NameNodePool&) = delete;
  NameNodePool& operator=(const NameNodePool&) = delete;

  // A node from the free list, else from the newest block, else from a new
  // block; none when memory runs out.
  NameIndexNode* Take();
  void GiveBack(NameIndexNode* node);
  int32_t BlockCount() const;
};

// The bucket counts, in order: the largest prime below each power of two from
// 2^5 to 2^31.
extern const int32_t NameIndexBucketCounts[27];

// The hash of a name: each byte taken as signed, hash = hash * 33 + byte, in
// unsigned 32-bit arithmetic.
uint32_t HashName(const char* name);

struct NameIndex {
  TypedArray<NameIndexNode*> buckets;  // count = the bucket count (0 before the first name)
  int32_t names = 0;
  NameNodePool pool;

  NameIndex() = default;
  NameIndex(const NameIndex&) = delete;
  NameIndex& operator=(const NameIndex&) = delete;

  int32_t BucketCount() const { return buckets.count; }
  // The position indexed under name (none counts as the empty name); false
  // when the name is not indexed.
  bool Find(const char* name, int32_t* position) const;
  // Indexes name at position; a name already indexed takes the new position.
  // False when memory for the buckets or a node block cannot be had; the index
  // is then as it was. name must stay valid while it is indexed.
  bool Insert(const char* name, int32_t position);
  // Forgets every name: the nodes go back to the pool, the bucket count
  // becomes 0 and the bucket block stays for reuse.
  void Empty();

 private:
  bool Resize(int32_t bucketCount);
};
