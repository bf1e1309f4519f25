#include "toolkit/module_table.h"

#include <cstring>
#include <new>

#include "toolkit/memory.h"
#include "toolkit/path_parts.h"

namespace {

bool IsUsed(const ModuleEntry& entry) { return entry.handle != nullptr; }

// The first used entry with key. Free entries never match, not even key 0.
const ModuleEntry* FindEntry(const ModuleTable& table, int32_t key) {
  for (const ModuleEntry& entry : table.entries) {
    if (IsUsed(entry) && entry.key == key) return &entry;
  }
  return nullptr;
}

void ReleasePath(FixedPath* path) {
  if (!path) return;
  ClearPath(*path);
  path->~FixedPath();
  ToolkitFree(path);
}

}  // namespace

ModuleTable::~ModuleTable() {
  for (ModuleEntry& entry : entries) ReleasePath(entry.path);
}

bool AddModule(ModuleTable& table, void* handle, int32_t key, const FixedPath* path) {
  if (!handle || !path) return false;
  ModuleEntry* free = nullptr;
  for (ModuleEntry& entry : table.entries) {
    if (IsUsed(entry) && entry.handle == handle && entry.key == key) return false;
    if (!free && !IsUsed(entry) && entry.key == 0) free = &entry;
  }
  if (!free) return false;
  void* storage = ToolkitAlloc(sizeof(FixedPath), false);
  if (!storage) return false;
  FixedPath* copy = new (storage) FixedPath;
  // A copy that loses part of the path would register the wrong file.
  if (!CopyByParts(*copy, path)) {
    ReleasePath(copy);
    return false;
  }
  free->path = copy;
  free->handle = handle;
  free->key = key;
  return true;
}

bool RemoveModule(ModuleTable& table, int32_t key) {
  ModuleEntry* entry = const_cast<ModuleEntry*>(FindEntry(table, key));
  if (!entry) return false;
  entry->handle = nullptr;
  entry->key = 0;
  ReleasePath(entry->path);
  entry->path = nullptr;
  ModuleEntry* last = table.entries + ModuleTable::Size - 1;
  memmove(entry, entry + 1, static_cast<size_t>(last - entry) * sizeof(ModuleEntry));
  *last = ModuleEntry{};
  return true;
}

void* FindModuleHandle(const ModuleTable& table, int32_t key) {
  const ModuleEntry* entry = FindEntry(table, key);
  return entry ? entry->handle : nullptr;
}

bool FindModuleFile(const ModuleTable& table, int32_t key, FixedPath& out) {
  const ModuleEntry* entry = FindEntry(table, key);
  return entry && CopyByParts(out, entry->path);
}

uint32_t ModuleCount(const ModuleTable& table) {
  uint32_t count = 0;
  for (const ModuleEntry& entry : table.entries) {
    if (IsUsed(entry)) ++count;
  }
  return count;
}
