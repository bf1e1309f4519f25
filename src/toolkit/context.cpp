#include "toolkit/context.h"

#include <cstring>
#include <new>

#include "foundation/core/platform.h"

namespace {

// The program's own table: one entry in use while the toolkit is set up.
ContextTable programTable;

ContextEntry* FindEntry(ContextTable& table, int32_t key) {
  for (ContextEntry& entry : table.entries) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

// The in-use slot at index of the caller's context, or none.
ContextSlot* SlotInUseAt(uint32_t index) {
  if (index >= ToolkitContext::SlotCount) return nullptr;
  ToolkitContext* context = CurrentContext();
  if (!context || !context->slots[index].inUse) return nullptr;
  return &context->slots[index];
}

}  // namespace

ToolkitContext::~ToolkitContext() {
  // ToolkitShutDown normally destroys the record and clears the pointer first.
  delete app;
}

ContextTable::~ContextTable() {
  for (ContextEntry& entry : entries) {
    delete entry.context;
    entry = ContextEntry{};
  }
}

int32_t CurrentContextKey() { return 1; }

bool AttachContextIn(ContextTable& table, int32_t key) {
  TakeContextLockReference();
  ContextLockGuard guard;
  if (key == 0) return false;
  if (ContextEntry* entry = FindEntry(table, key)) {
    ++entry->context->attachCount;
    return true;
  }
  ContextEntry* free = FindEntry(table, 0);
  if (!free) return false;
  ToolkitContext* context = new (std::nothrow) ToolkitContext;
  if (!context) return false;
  free->key = key;
  free->context = context;
  context->attachCount = 1;
  return true;
}

bool DetachContextIn(ContextTable& table, int32_t key) {
  bool found = false;
  {
    ContextLockGuard guard;
    ContextEntry* entry = key != 0 ? FindEntry(table, key) : nullptr;
    if (entry) {
      found = true;
      if (--entry->context->attachCount == 0) {
        ToolkitContext* context = entry->context;
        entry->key = 0;
        delete context;
        entry->context = nullptr;
      }
    }
  }
  DropContextLockReference();
  return found;
}

ToolkitContext* ContextIn(ContextTable& table, int32_t key) {
  ContextLockGuard guard;
  ContextEntry* entry = key != 0 ? FindEntry(table, key) : nullptr;
  return entry ? entry->context : nullptr;
}

bool AttachContext() { return AttachContextIn(programTable, CurrentContextKey()); }

bool DetachContext() { return DetachContextIn(programTable, CurrentContextKey()); }

ToolkitContext* CurrentContext() { return ContextIn(programTable, CurrentContextKey()); }

bool ClaimSlot(uint32_t index) {
  if (index >= ToolkitContext::SlotCount) return false;
  ToolkitContext* context = CurrentContext();
  if (!context || context->slots[index].inUse) return false;
  context->slots[index].inUse = 1;
  return true;
}

bool SlotInUse(uint32_t index) { return SlotInUseAt(index) != nullptr; }

void* SlotValue(uint32_t index) {
  ContextSlot* slot = SlotInUseAt(index);
  return slot ? slot->value : nullptr;
}

bool SetSlotValue(uint32_t index, void* value) {
  ContextSlot* slot = SlotInUseAt(index);
  if (!slot) return false;
  slot->value = value;
  return true;
}

bool ReleaseSlot(uint32_t index) {
  ContextSlot* slot = SlotInUseAt(index);
  if (!slot) return false;
  *slot = ContextSlot{};
  return true;
}

// The context lock. The reference counter starts at -1: the first user
// brings it to 0 and creates the lock.

namespace {

volatile long lockUsers = -1;
void* contextLock = nullptr;

}  // namespace

void TakeContextLockReference() {
  if (platform::AtomicIncrement(&lockUsers) == 0) contextLock = platform::CreateLock();
}

void DropContextLockReference() {
  long users = platform::AtomicDecrement(&lockUsers);
  if (users >= 0) return;
  // Without a matching reference the counter would stay below -1 and the
  // next first user would never create the lock again.
  if (users < -1) platform::AtomicIncrement(&lockUsers);
  platform::DestroyLock(contextLock);
  contextLock = nullptr;
}

bool ContextLockExists() { return contextLock != nullptr; }

ContextLockGuard::ContextLockGuard() : held_(contextLock && platform::AcquireLock(contextLock)) {}

ContextLockGuard::~ContextLockGuard() {
  if (held_) platform::ReleaseLock(contextLock);
}
