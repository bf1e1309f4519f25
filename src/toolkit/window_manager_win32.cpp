#include "toolkit/window_manager.h"

#include <new>

#include "toolkit/context.h"
#include "toolkit/dropped_files.h"
#include "toolkit/memory.h"
#include "toolkit/window_geometry.h"
#include "toolkit/window_operations.h"

namespace {

// What context slot 31 holds: the manager and how often it was opened.
struct WindowManagerHolder {
  WindowManager* manager;
  int32_t openCount;
};

WindowManagerHolder* CurrentHolder() {
  return static_cast<WindowManagerHolder*>(SlotValue(WindowManagerSlot));
}

// The index of entry in the table, or -1 once it is gone.
int32_t IndexOfEntry(WindowManager* manager, const WindowEntry* entry) {
  for (int32_t i = 0; i < manager->count; ++i) {
    if (manager->entries[i] == entry) return i;
  }
  return -1;
}

// Whether following the registered parents from parent reaches window; such a
// registration would make the window its own ancestor.
bool ParentChainReaches(WindowManager* manager, HWND parent, HWND window) {
  for (int32_t steps = 0; parent && steps <= manager->count; ++steps) {
    if (parent == window) return true;
    WindowEntry* entry = FindWindowEntry(manager, parent);
    if (!entry) return false;
    parent = entry->parent;
  }
  return parent == window;
}

// Sends one of the manager's own events (no source window, no message). The
// callback may free the entry, which is not touched afterwards.
uint8_t SendManagerEvent(WindowManager* manager, const WindowEntry& entry, EventKind kind) {
  EventRecord record;
  ZeroBytes(&record, sizeof record);
  record.window = entry.window;
  record.event.kind = kind;
  record.event.userData = entry.userData;
  return DispatchEvent(manager, entry.callback, entry.window, kind, &record);
}

void UnregisterAllWindows(WindowManager* manager) {
  while (manager->count > 0) {
    if (!UnregisterWindow(manager, manager->entries[0]->window)) break;
  }
}

}  // namespace

WindowManager::WindowManager() : valid(1), entries(), count(0) {}

WindowManager::~WindowManager() {
  UnregisterAllWindows(this);
  valid = 0;
}

bool OpenWindowManager() {
  if (WindowManagerHolder* holder = CurrentHolder()) {
    ++holder->openCount;
    return true;
  }
  if (!ClaimSlot(WindowManagerSlot)) return false;
  auto* holder = static_cast<WindowManagerHolder*>(ToolkitAlloc(sizeof(WindowManagerHolder), true));
  void* block = ToolkitAlloc(sizeof(WindowManager), false);
  if (!holder || !block) {
    ToolkitFree(block);
    ToolkitFree(holder);
    ReleaseSlot(WindowManagerSlot);
    return false;
  }
  holder->manager = new (block) WindowManager();
  holder->openCount = 1;
  SetSlotValue(WindowManagerSlot, holder);
  return true;
}

bool CloseWindowManager() {
  WindowManagerHolder* holder = CurrentHolder();
  if (!holder || !holder->manager) return false;
  if (--holder->openCount < 0) return false;
  if (holder->openCount > 0) return true;
  // The windows still registered get their closing events while the manager
  // can still be found, so that their callbacks can close them.
  UnregisterAllWindows(holder->manager);
  if (holder->openCount > 0) return true;  // a closing callback opened it again
  ReleaseSlot(WindowManagerSlot);
  WindowManager* manager = holder->manager;
  manager->~WindowManager();
  ToolkitFree(manager);
  ToolkitFree(holder);
  return true;
}

WindowManager* CurrentWindowManager() {
  WindowManagerHolder* holder = CurrentHolder();
  return holder ? holder->manager : nullptr;
}

bool RegisterWindow(WindowManager* manager, HWND window, HWND parent, WindowCallback callback,
                    void* userData, int32_t tickInterval, bool disableParent, bool acceptFiles) {
  if (!manager || !window || !callback) return false;
  if (manager->count >= WindowManager::Capacity) return false;
  if (FindWindowEntry(manager, window)) return false;
  if (ParentChainReaches(manager, parent, window)) return false;
  auto* entry = static_cast<WindowEntry*>(ToolkitAlloc(sizeof(WindowEntry), true));
  if (!entry) return false;
  entry->window = window;
  entry->parent = parent;
  entry->callback = callback;
  entry->tickInterval = tickInterval;
  entry->userData = userData;
  entry->disableParent = disableParent ? 1 : 0;
  entry->acceptsFiles = acceptFiles ? 1 : 0;
  if (acceptFiles) AcceptDroppedFiles(window, true);
  manager->entries[manager->count++] = entry;
  if (disableParent) DisableToolkitWindow(parent);

  if (SendManagerEvent(manager, *entry, EventOpened) == AnswerHandled) {
    UnregisterWindow(manager, window);
    return false;
  }
  // The callback may have unregistered the window itself.
  if (FindWindowEntry(manager, window) != entry) return false;
  entry->open = 1;
  InvalidateWindow(window);
  UpdateToolkitWindow(window);
  return true;
}

bool UnregisterWindow(WindowManager* manager, HWND window) {
  if (!manager || !window) return false;
  // Children first, each with its own children before it; a callback may
  // change the table, so every removal starts the scan over.
  for (bool removed = true; removed;) {
    removed = false;
    for (int32_t i = 0; i < manager->count; ++i) {
      WindowEntry* child = manager->entries[i];
      if (child->parent == window && !child->closing) {
        UnregisterWindow(manager, child->window);
        removed = true;
        break;
      }
    }
  }
  WindowEntry* entry = FindWindowEntry(manager, window);
  if (!entry || entry->closing) return false;
  entry->closing = 1;
  SendManagerEvent(manager, *entry, EventClosing);  // the answer is ignored
  int32_t index = IndexOfEntry(manager, entry);
  if (index < 0) return false;  // cannot happen: a closing entry is not removed by others
  ToolkitFree(entry);
  for (int32_t i = index; i + 1 < manager->count; ++i) manager->entries[i] = manager->entries[i + 1];
  manager->entries[--manager->count] = nullptr;
  return true;
}

bool CloseToolkitWindow(WindowManager* manager, HWND window) {
  WindowEntry* entry = FindWindowEntry(manager, window);
  if (entry && entry->disableParent) EnableToolkitWindow(entry->parent);
  return DestroyWindow(window) != FALSE;
}

void SetAcceptFiles(WindowManager* manager, HWND window, bool on) {
  WindowEntry* entry = FindWindowEntry(manager, window);
  if (!entry) return;
  entry->acceptsFiles = on ? 1 : 0;
  AcceptDroppedFiles(window, on);
}

bool AcceptsFiles(WindowManager* manager, HWND window) {
  WindowEntry* entry = FindWindowEntry(manager, window);
  return entry && entry->acceptsFiles;
}

void* WindowUserData(WindowManager* manager, HWND window) {
  WindowEntry* entry = FindWindowEntry(manager, window);
  return entry ? entry->userData : nullptr;
}

WindowEntry* FindWindowEntry(WindowManager* manager, HWND window) {
  if (!manager || !window) return nullptr;
  for (int32_t i = 0; i < manager->count; ++i) {
    if (manager->entries[i]->window == window) return manager->entries[i];
  }
  return nullptr;
}

WindowEntry* WindowEntryAt(WindowManager* manager, int32_t index) {
  if (!manager || index < 0 || index >= manager->count) return nullptr;
  return manager->entries[index];
}

HWND WindowAt(WindowManager* manager, int32_t index) {
  if (!manager || manager->count <= 0 || index < 0) return nullptr;
  if (index >= manager->count) index = manager->count - 1;
  return manager->entries[index]->window;
}

uint8_t DispatchEvent(WindowManager* manager, WindowCallback callback, HWND window, EventKind kind,
                      EventRecord* record) {
  if (!callback) return AnswerNotHandled;
  return static_cast<uint8_t>(callback(window, kind, record) & 0xFF);
}
