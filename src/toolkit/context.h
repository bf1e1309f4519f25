#pragma once
// The toolkit context: the table of per-thread contexts with its lock, and
// the application record each context keeps.

#include <cstdint>

#include "toolkit/module_table.h"

// The toolkit context: the process-wide state of the window toolkit, found
// through a locked table of 16 entries by the caller's context key. The key
// is always 1, so there is one context per process. The context is created by
// the first AttachContext and destroyed when its attach count drops to zero.
//
// The context keeps the ToolkitApp record and 32 numbered slots in which
// other toolkit parts park their own singletons.

// Created by the first ToolkitStartUp, destroyed by the matching last
// ToolkitShutDown; kept in the context.
class ToolkitApp {
 public:
  ToolkitApp() = default;
  virtual ~ToolkitApp() = default;
  ToolkitApp(const ToolkitApp&) = delete;
  ToolkitApp& operator=(const ToolkitApp&) = delete;

  uint32_t startCount = 0;
  ModuleTable modules;
};

// One slot: an in-use flag and a pointer-sized value.
struct ContextSlot {
  uint8_t inUse;
  void* value;
};

class ToolkitContext {
 public:
  static constexpr uint32_t SlotCount = 32;

  ToolkitContext() = default;
  // Also destroys an application record that is still attached.
  virtual ~ToolkitContext();
  ToolkitContext(const ToolkitContext&) = delete;
  ToolkitContext& operator=(const ToolkitContext&) = delete;

  uint32_t attachCount = 0;  // AttachContext calls not yet matched by DetachContext
  ToolkitApp* app = nullptr;
  ContextSlot slots[SlotCount] = {};
};

// The slot that holds the window manager's holder.
constexpr uint32_t WindowManagerSlot = 31;

// A table of contexts by key; key 0 marks a free entry. The table owns its
// contexts.
struct ContextEntry {
  int32_t key;
  ToolkitContext* context;
};

struct ContextTable {
  static constexpr uint32_t Size = 16;

  ContextEntry entries[Size] = {};

  constexpr ContextTable() = default;
  ~ContextTable();
  ContextTable(const ContextTable&) = delete;
  ContextTable& operator=(const ContextTable&) = delete;
};

// The caller's context key: always 1, one context per process.
int32_t CurrentContextKey();

// Finds the caller's context or creates it, and counts one attach. Takes one
// reference on the table's lock even when it fails (no free entry, no
// memory); the matching DetachContext drops it.
bool AttachContext();
// Counts one attach less and destroys the context at zero. Drops one
// reference on the table's lock; false when the caller has no context.
bool DetachContext();
// The caller's context, or none. Never creates one.
ToolkitContext* CurrentContext();

// The same operations on a given table and key. The process-wide ones above
// use the program's own table and CurrentContextKey; every table shares the
// one lock. Key 0 is never attached.
bool AttachContextIn(ContextTable& table, int32_t key);
bool DetachContextIn(ContextTable& table, int32_t key);
ToolkitContext* ContextIn(ContextTable& table, int32_t key);

// Slots of the caller's context, numbered 0 to 31. Every operation fails (or
// gives none) for an index above 31 or when there is no context.
// Marks a free slot in use.
bool ClaimSlot(uint32_t index);
bool SlotInUse(uint32_t index);
// The value of a slot in use, or none.
void* SlotValue(uint32_t index);
// Stores value into a slot in use.
bool SetSlotValue(uint32_t index, void* value);
// Clears the flag and the value of a slot in use.
bool ReleaseSlot(uint32_t index);

// The lock that guards the context tables: one process-wide lock, created
// with its first user reference and closed with its last. A failure to create
// it or to acquire it is not reported: the table is then used without it.
//
// The lock itself comes from the platform seam (an auto-reset event on
// Windows, a mutex in the native test build).

// Counts one user; the first one creates the lock.
void TakeContextLockReference();
// Counts one user less; below the last one the lock is closed. A drop without
// a matching reference closes nothing more and leaves the count at none.
void DropContextLockReference();
// True while the lock exists (some user reference is held).
bool ContextLockExists();

// Holds the lock for its lifetime, when the lock exists; released on every
// path out of the scope.
class ContextLockGuard {
 public:
  ContextLockGuard();
  ~ContextLockGuard();
  ContextLockGuard(const ContextLockGuard&) = delete;
  ContextLockGuard& operator=(const ContextLockGuard&) = delete;

 private:
  bool held_;
};
