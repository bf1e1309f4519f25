#include "toolkit/window_manager_win32.h"

#include <mmsystem.h>

#include <new>

#include "toolkit/context.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/events_win32.h"
#include "toolkit/memory.h"

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
  for (int32_t i = 0; i < manager->Count(); ++i) {
    if (manager->Entry(i) == entry) return i;
  }
  return -1;
}

// Whether following the registered parents from parent reaches window; such a
// registration would make the window its own ancestor.
bool ParentChainReaches(WindowManager* manager, HWND parent, HWND window) {
  for (int32_t steps = 0; parent && steps <= manager->Count(); ++steps) {
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
  while (manager->Count() > 0) {
    if (!UnregisterWindow(manager, manager->Entry(0)->window)) break;
  }
}

}  // namespace

WindowManager::WindowManager() : valid_(1), entries_(), count_(0) {}

WindowManager::~WindowManager() {
  UnregisterAllWindows(this);
  valid_ = 0;
}

bool WindowManager::Add(WindowEntry* entry) {
  if (count_ >= Capacity) return false;
  entries_[count_++] = entry;
  return true;
}

void WindowManager::RemoveAt(int32_t index) {
  if (index < 0 || index >= count_) return;
  for (int32_t i = index; i + 1 < count_; ++i) entries_[i] = entries_[i + 1];
  entries_[--count_] = nullptr;
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
  if (manager->Count() >= WindowManager::Capacity) return false;
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
  manager->Add(entry);  // room was checked above
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
    for (int32_t i = 0; i < manager->Count(); ++i) {
      WindowEntry* child = manager->Entry(i);
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
  manager->RemoveAt(index);
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
  for (int32_t i = 0; i < manager->Count(); ++i) {
    if (manager->Entry(i)->window == window) return manager->Entry(i);
  }
  return nullptr;
}

WindowEntry* WindowEntryAt(WindowManager* manager, int32_t index) {
  return manager ? manager->Entry(index) : nullptr;
}

HWND WindowAt(WindowManager* manager, int32_t index) {
  if (!manager || manager->Count() <= 0 || index < 0) return nullptr;
  if (index >= manager->Count()) index = manager->Count() - 1;
  return manager->Entry(index)->window;
}

uint8_t DispatchEvent(WindowManager* manager, WindowCallback callback, HWND window, EventKind kind,
                      EventRecord* record) {
  if (!callback) return AnswerNotHandled;
  return static_cast<uint8_t>(callback(window, kind, record) & 0xFF);
}

namespace {

bool IsRegistered(WindowManager* manager, HWND window) { return FindWindowEntry(manager, window) != nullptr; }

// No tick is waiting to come due.
constexpr DWORD NoTickDue = INFINITE;

// Sends the tick event if the entry's interval has passed. True when the
// entry answered 1 (the loop must not wait). untilDue is lowered to the
// milliseconds until the entry's next tick when that is not yet due. A
// window whose opened event is still running, or that is closing, never
// reaches its callback, so it gets no tick.
bool TickEntry(WindowManager* manager, WindowEntry* entry, DWORD& untilDue) {
  if (entry->tickInterval < 0 || !entry->open || entry->closing) return false;
  DWORD now = timeGetTime();
  DWORD elapsed = now - entry->lastTick;  // wraps with the clock
  if (elapsed < static_cast<DWORD>(entry->tickInterval)) {
    DWORD remaining = static_cast<DWORD>(entry->tickInterval) - elapsed;
    if (remaining < untilDue) untilDue = remaining;
    return false;
  }
  entry->lastTick = now;
  return SendManagerEvent(manager, *entry, EventTick) == AnswerHandled;
}

}  // namespace

bool RunUntilNoWindows(WindowManager* manager) {
  if (!manager || manager->Count() == 0) return false;
  while (manager->Count() > 0) RunOnePass(manager);
  return true;
}

bool RunUntilClosed(WindowManager* manager, HWND window) {
  if (!IsRegistered(manager, window)) return false;
  while (IsRegistered(manager, window)) RunOnePass(manager);
  return true;
}

void RunOnePass(WindowManager* manager) {
  if (!manager) return;
  int32_t count = manager->Count();
  for (int32_t i = count - 1; i >= 0 && manager->Count() == count; --i)
    PumpMessages(manager->Entry(i)->window, true, true);
  PumpThreadMessages(manager);
  // A window that came or went while the messages were pumped may be what the
  // caller's loop waits for: then the pass ends without waiting.
  if (manager->Count() > 0) ProcessTicks(manager, manager->Count() == count);
}

void ProcessTicks(WindowManager* manager, bool mayWait) {
  if (!manager || manager->Count() == 0) return;
  int32_t registered = manager->Count();
  bool busy = false;
  DWORD untilDue = NoTickDue;
  for (int32_t i = 0; i < manager->Count(); ++i) {
    if (TickEntry(manager, manager->Entry(i), untilDue)) busy = true;
  }
  // A tick callback that closed a window (perhaps the last one, or the one a
  // modal loop runs for) has changed what the loop waits for: waiting now
  // could last until some unrelated message arrives, or forever.
  if (manager->Count() != registered) busy = true;
  if (!mayWait || busy || MessagesWaiting()) return;
  if (untilDue == NoTickDue) {
    WaitMessage();
  } else {
    // Until the next message, or until the next tick is due: an idle window
    // with ticks must not keep the processor busy polling for them. (One
    // millisecond more, as the clock may count a little behind the wait.)
    MsgWaitForMultipleObjects(0, nullptr, FALSE, untilDue + 1, QS_ALLINPUT);
  }
}

namespace {

// Escape for dialog, offered to the dialog's callback as a key-down event of
// the dialog itself before the dialog manager turns it into the command of
// the cancel id, which may be a button's own id (the main window's uninstall
// button): read here, where it arrives, a posted Escape is the same key as a
// typed one, whatever the keyboard's state. True when the callback took it.
bool OfferedEscape(const MSG& message, HWND dialog) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  WindowManager* manager = CurrentWindowManager();
  WindowEntry* entry = manager ? FindWindowEntry(manager, dialog) : nullptr;
  if (!entry || !entry->open || entry->closing) return false;
  EventRecord record;
  ZeroBytes(&record, sizeof record);
  record.message = WindowMessage{dialog, message.message, message.wParam, message.lParam};
  TranslateToolkitEvent(&record.message, &record.event);
  record.window = dialog;
  record.event.userData = entry->userData;
  return DispatchEvent(manager, entry->callback, dialog, record.event.kind, &record) != AnswerNotHandled;
}

// Hands message to the dialog manager of dialog when there is one (a
// dialog's keys: Tab, Enter, Escape, the arrows), else to its window.
// Escape goes to the dialog's callback first.
void Deliver(MSG& message, HWND dialog) {
  if (dialog && OfferedEscape(message, dialog)) return;
  if (dialog && IsDialogMessageA(dialog, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

uint32_t PumpMessages(HWND window, bool dialogKeys, bool onlyWhenUnfocused) {
  const bool dialogManager = dialogKeys && window && !(onlyWhenUnfocused && GetFocus() == window);
  uint32_t handled = 0;
  MSG message;
  while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
    ++handled;
    Deliver(message, dialogManager ? window : nullptr);
  }
  return handled;
}

namespace {

// The registered window that window is, or that it is a control of; none for
// any other window.
HWND RegisteredDialogOf(WindowManager* manager, HWND window) {
  for (HWND current = window; current; current = GetParent(current)) {
    if (IsRegistered(manager, current)) return current;
    // A top-level window's parent is its owner, another dialog.
    if (!(GetWindowLongA(current, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}

}  // namespace

uint32_t PumpThreadMessages(WindowManager* manager) {
  uint32_t handled = 0;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ++handled;
    const HWND dialog = RegisteredDialogOf(manager, message.hwnd);
    Deliver(message, dialog && GetFocus() != dialog ? dialog : nullptr);
  }
  return handled;
}

bool MessagesWaiting() {
  MSG message;
  return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}
