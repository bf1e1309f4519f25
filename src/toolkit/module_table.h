#pragma once
// The toolkit's table of modules: which module handle and which file belong
// to a numeric key.

#include <cstdint>

#include "foundation/core/paths.h"

// ModuleTable: which module handle and which file path belong to a numeric
// key. Used entries stay packed at the front in registration order; an entry
// whose handle and key are both 0 is free, and a used entry always has a
// handle. Each used entry owns its path, a FixedPath in a block from the
// toolkit's memory routines, released when the entry is removed or the table
// is destroyed.

struct ModuleEntry {
  void* handle;  // the module handle; 0 marks a free entry (with key 0)
  int32_t key;
  FixedPath* path;  // owned; none only while the entry is free
};

struct ModuleTable {
  static constexpr uint32_t Size = 256;

  ModuleEntry entries[Size] = {};

  ModuleTable() = default;
  ~ModuleTable();
  ModuleTable(const ModuleTable&) = delete;
  ModuleTable& operator=(const ModuleTable&) = delete;
};

// Adds (handle, key) with a copy of path in the first free entry. False when
// handle is 0 or path is none, when the very pair is already present, when
// all entries are used, or when the path cannot be allocated or copied; the
// table is then unchanged.
bool AddModule(ModuleTable& table, void* handle, int32_t key, const FixedPath* path);
// Removes the first entry with key, releasing its path, and moves the later
// entries down by one. False when no entry has the key.
bool RemoveModule(ModuleTable& table, int32_t key);
// The handle of the first entry with key, or 0.
void* FindModuleHandle(const ModuleTable& table, int32_t key);
// Copies the path of the first entry with key into out; false when no entry
// has the key or the copy fails.
bool FindModuleFile(const ModuleTable& table, int32_t key, FixedPath& out);
// The number of used entries.
uint32_t ModuleCount(const ModuleTable& table);
