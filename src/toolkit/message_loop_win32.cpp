#include "toolkit/message_loop.h"

#include <mmsystem.h>

#include "toolkit/memory.h"

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
  EventRecord record;
  ZeroBytes(&record, sizeof record);
  record.window = entry->window;
  record.event.kind = EventTick;
  record.event.userData = entry->userData;
  return DispatchEvent(manager, entry->callback, entry->window, EventTick, &record) == AnswerHandled;
}

}  // namespace

bool RunUntilNoWindows(WindowManager* manager) {
  if (!manager || manager->count == 0) return false;
  while (manager->count > 0) RunOnePass(manager);
  return true;
}

bool RunUntilClosed(WindowManager* manager, HWND window) {
  if (!IsRegistered(manager, window)) return false;
  while (IsRegistered(manager, window)) RunOnePass(manager);
  return true;
}

void RunOnePass(WindowManager* manager) {
  if (!manager) return;
  int32_t count = manager->count;
  for (int32_t i = count - 1; i >= 0 && manager->count == count; --i)
    PumpMessages(manager->entries[i]->window, true, true);
  PumpMessages(nullptr, false, false);
  // A window that came or went while the messages were pumped may be what the
  // caller's loop waits for: then the pass ends without waiting.
  if (manager->count > 0) ProcessTicks(manager, manager->count == count);
}

void ProcessTicks(WindowManager* manager, bool mayWait) {
  if (!manager || manager->count == 0) return;
  int32_t registered = manager->count;
  bool busy = false;
  DWORD untilDue = NoTickDue;
  for (int32_t i = 0; i < manager->count; ++i) {
    if (TickEntry(manager, manager->entries[i], untilDue)) busy = true;
  }
  // A tick callback that closed a window (perhaps the last one, or the one a
  // modal loop runs for) has changed what the loop waits for: waiting now
  // could last until some unrelated message arrives, or forever.
  if (manager->count != registered) busy = true;
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

uint32_t PumpMessages(HWND window, bool dialogKeys, bool onlyWhenUnfocused) {
  bool dialogManager = dialogKeys && window && !(onlyWhenUnfocused && GetFocus() == window);
  uint32_t handled = 0;
  MSG message;
  while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
    ++handled;
    if (dialogManager && IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return handled;
}

bool MessagesWaiting() {
  MSG message;
  return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}
