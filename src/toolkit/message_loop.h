#pragma once
// The system's only message loop, owned by the window manager. The main
// window runs it until no window is left; every dialog runs it until that
// dialog is gone, which makes the dialog modal to the window that opened it
// (registered with disableParent) while every window stays alive.
//
// One pass: the messages of each registered window, newest first, through the
// dialog manager's keyboard handling (Tab, Enter as IDOK, Escape as
// IDCANCEL); then every other message of the thread; then the ticks, after
// which the thread waits for the next message (at most until the next tick
// is due) unless a window is busy or the pass registered or unregistered a
// window (which may be what the caller's loop is waiting for).

#include <windows.h>

#include <cstdint>

#include "toolkit/window_manager.h"

// Runs passes while any window is registered; false at once when none is.
bool RunUntilNoWindows(WindowManager* manager);
// Runs passes while window is registered; false at once, without pumping,
// when it is not.
bool RunUntilClosed(WindowManager* manager, HWND window);
void RunOnePass(WindowManager* manager);
// Sends the tick event to every open window whose interval has passed. With
// mayWait, and when no window is busy (none answered 1 to its tick, no window
// was registered or unregistered by the tick callbacks, no message waits),
// blocks until a message arrives, or, when a window's tick is not yet due,
// at most until it is due.
void ProcessTicks(WindowManager* manager, bool mayWait);

// Removes and handles the messages waiting for window (and its children), or
// for the whole thread when window is none. With dialogKeys and a window, the
// dialog manager handles its keyboard messages first, unless onlyWhenUnfocused
// is set and the window itself has the focus. Returns the number of messages.
uint32_t PumpMessages(HWND window, bool dialogKeys, bool onlyWhenUnfocused);
// Whether any message waits in the thread's queue (nothing is removed).
bool MessagesWaiting();
