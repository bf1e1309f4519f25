#pragma once
// The window manager, its registered windows with their callbacks, and the
// one message loop.

#include <windows.h>

#include <cstdint>

#include "toolkit/events_win32.h"

// The window manager: the toolkit's registry of live windows, one per
// context, kept in context slot 31. Each toolkit dialog is registered with a
// callback, user data, an optional parent and a tick interval; from then on
// everything that happens to the window reaches the callback as an event.
//
// Everything runs on the one thread that owns the windows. Callbacks may
// register and unregister windows and run nested message loops in the middle
// of any operation here, so every scan re-reads the count.
//
// An entry goes: registered (not open) -> open (its opened event accepted)
// -> closing (during its closing event) -> freed. Unregistering never
// destroys the window: the callback does that on the closing event, normally
// with CloseToolkitWindow after destroying its control objects.

struct WindowEntry {
  HWND window;  // the key: one entry per window
  HWND parent;  // or none
  int32_t tickInterval;  // milliseconds; negative: no ticks
  uint32_t lastTick;     // timeGetTime of the last tick; 0 at registration
  void* userData;
  WindowCallback callback;
  uint8_t disableParent;  // the parent is disabled while this window is registered
  uint8_t open;           // the opened event was accepted
  uint8_t closing;        // unregistration has started
  uint8_t acceptsFiles;   // registered for dropped files
};

class WindowManager {
 public:
  static constexpr int32_t Capacity = 100;

  WindowManager();
  // Unregisters every window still registered (each gets its closing event).
  virtual ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // 1 from construction until the destructor has unregistered every window.
  uint8_t Valid() const { return valid_; }
  int32_t Count() const { return count_; }
  // The entry at index in registration order; none outside 0 to count - 1.
  WindowEntry* Entry(int32_t index) const { return index >= 0 && index < count_ ? entries_[index] : nullptr; }
  // Adds entry after the others; false when the manager is full.
  bool Add(WindowEntry* entry);
  // Takes out the entry at index; the later ones move up one place.
  void RemoveAt(int32_t index);

 private:
  uint8_t valid_;
  WindowEntry* entries_[Capacity];  // packed at the front in registration order
  int32_t count_;
};

// Opens the context's window manager, creating it on the first opening; each
// opening counts. False without a context or memory.
bool OpenWindowManager();
// Counts one opening less; the last closing unregisters every window still
// registered and destroys the manager.
bool CloseWindowManager();
// The context's window manager, or none.
WindowManager* CurrentWindowManager();

// Registers window and sends it the opened event. False for a missing window
// or callback, a window already registered, a 101st window, a parent chain
// that leads back to the window, or when the callback answers 1 to the
// opened event (the window then gets its closing event before this returns).
// With disableParent the parent is disabled until the window is closed; with
// acceptFiles the window is registered for dropped files.
bool RegisterWindow(WindowManager* manager, HWND window, HWND parent, WindowCallback callback,
                    void* userData, int32_t tickInterval, bool disableParent, bool acceptFiles);
// Unregisters the window's registered children first (their children before
// them), then marks the window closing and sends its closing event, then
// frees its entry. False when the window is not registered (its children are
// unregistered all the same) or is already being unregistered.
bool UnregisterWindow(WindowManager* manager, HWND window);
// Enables a parent that the window's registration disabled, then destroys the
// window; the result of DestroyWindow.
bool CloseToolkitWindow(WindowManager* manager, HWND window);

// Stores the flag of a registered window and registers it for dropped files
// (or takes it off).
void SetAcceptFiles(WindowManager* manager, HWND window, bool on);
// The stored flag; false for a window that is not registered.
bool AcceptsFiles(WindowManager* manager, HWND window);
// The user data of the window's entry, or none.
void* WindowUserData(WindowManager* manager, HWND window);

WindowEntry* FindWindowEntry(WindowManager* manager, HWND window);
// None for an index outside 0 to count - 1.
WindowEntry* WindowEntryAt(WindowManager* manager, int32_t index);
// The window at index; an index past the end gives the last window. None
// when nothing is registered or the index is negative.
HWND WindowAt(WindowManager* manager, int32_t index);

// Calls callback (window, kind, record) and returns the low byte of its answer.
uint8_t DispatchEvent(WindowManager* manager, WindowCallback callback, HWND window, EventKind kind,
                      EventRecord* record);

// The system's only message loop, owned by the window manager. The main
// window runs it until no window is left; every dialog runs it until that
// dialog is gone, which makes the dialog modal to the window that opened it
// (registered with disableParent) while every window stays alive.
//
// One pass: the messages of each registered window, newest first, through the
// dialog manager's keyboard handling (Tab, Enter as IDOK, Escape as
// IDCANCEL; Escape is first offered to the window's callback as its own
// key-down event, which it may take); then every other message of the thread, where a key that reached
// a registered window only now (while the pass was busy elsewhere) still goes
// through that window's dialog manager; then the ticks, after
// which the thread waits for the next message (at most until the next tick
// is due) unless a window is busy or the pass registered or unregistered a
// window (which may be what the caller's loop is waiting for).

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
// Removes and handles every message waiting for the thread; one for a
// registered window or its controls goes through that window's dialog manager
// first, unless the window itself has the focus. Returns the number of
// messages.
uint32_t PumpThreadMessages(WindowManager* manager);
// Whether any message waits in the thread's queue (nothing is removed).
bool MessagesWaiting();
