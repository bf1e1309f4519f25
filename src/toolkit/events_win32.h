#pragma once
// Events: what a window's callback is told, how a window message becomes an
// event, files dropped on a window, and the dialog procedure that delivers
// them.

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "foundation/core/paths.h"
#include "toolkit/dialogs.h"

// What a window's callback is told: the kind of event and an EventRecord
// with its details. Events come from the dialog procedure (one per window
// message, see the translation below) or from the window manager itself (opened, closing,
// tick).

typedef uint32_t EventKind;

enum : EventKind {
  EventOther = 0,             // any other message; the answer is the dialog procedure's result
  EventOpened = 4,            // from RegisterWindow; answer 1 refuses the window
  EventCloseRequest = 5,      // WM_CLOSE or WM_DESTROY; answer 0 unregisters the window
  EventClosing = 6,           // from UnregisterWindow; the answer is ignored
  EventActivated = 7,
  EventDeactivated = 8,
  EventSizing = 9,            // a non-zero answer applies the changed area
  EventMaximized = 10,
  EventMinimized = 11,
  EventRestored = 12,         // restored or resized
  EventLeftButtonDown = 13,   // double click flagged
  EventRightButtonDown = 14,  // double click flagged
  EventLeftButtonUp = 15,
  EventRightButtonUp = 16,
  EventMouseMoved = 17,
  EventKeyDown = 18,
  EventCharacter = 19,
  EventKeyUp = 20,
  EventPaint = 21,
  EventTick = 22,             // from ProcessTicks (answer 1 keeps the loop from waiting) or WM_TIMER
  EventCommand = 23,          // a control was used
  EventFilesDropped = 24,
  EventVerticalScroll = 27,
  EventDpiChanged = 28,       // the window is now on a screen of another DPI
};

// A callback's one-byte answer.
enum : uint8_t {
  AnswerNotHandled = 0,
  AnswerHandled = 1,
  AnswerMinusOne = 255,  // the dialog procedure returns -1
};

// The files of one drop. A path of 260 characters or more is left empty in
// its place; count still includes it.
struct DroppedFiles {
  uint8_t present;  // 1
  uint32_t count;
  FixedPath* files;
};

// One translated window message: the part of the EventRecord from the source
// window up to the notification code. Fields that do not belong to the kind
// are 0.
struct ToolkitEvent {
  HWND source;        // the window named in the message; 0 for the window manager's own events
  EventKind kind;
  void* userData;     // the registered user data (filled in by the dialog procedure)
  DroppedFiles* droppedFiles;  // files-dropped events only
  uint32_t x;         // client pixels, the unsigned low half of lParam; the drop point
  uint32_t y;         // the unsigned high half of lParam
  int32_t character;  // low byte of wParam, sign-extended (key and character events)
  uint32_t keyCode;   // wParam (key-down and key-up events)
  uint8_t shift;
  uint8_t control;
  uint8_t alt;
  uint8_t capsLock;   // caps lock toggled on
  uint8_t command;    // always equal to control
  uint8_t repeat;     // the key was already down
  uint8_t system;     // a system-key message
  uint8_t doubleClick;
  HDC deviceContext;  // paint events only
  Rect area;          // paint: the rectangle to paint; sizing: the proposed client area;
                      // DPI change: the suggested frame
  uint32_t commandId;         // low half of wParam (command events)
  uint32_t notificationCode;  // high half of wParam (command events)
};

// A window message as the dialog procedure received it.
struct WindowMessage {
  HWND window;
  UINT number;
  WPARAM wParam;
  LPARAM lParam;
};

// Handed to a callback; cleared to zero before it is filled. The message is
// all zero for events the window manager raises itself.
struct EventRecord {
  HWND window;  // the registered window the event belongs to
  ToolkitEvent event;
  WindowMessage message;
};

// A window's callback: (window, kind, record) -> AnswerNotHandled,
// AnswerHandled or AnswerMinusOne. See the kinds above for what an answer
// does.
typedef uint8_t (*WindowCallback)(HWND window, EventKind kind, EventRecord* record);

// Translating a window message into a ToolkitEvent: which EventKind it is and
// which fields belong to it.
//
//   WM_CLOSE, WM_DESTROY        5 close request
//   WM_SIZE                     wParam 0: 12 restored, 1: 11 minimised, 2: 10 maximised, else 0
//   WM_ACTIVATE                 low half of wParam 0: 8 deactivated, 1 or 2: 7 activated, else 0
//   WM_PAINT                    21 (device context and area from the paint cycle)
//   WM_KEYDOWN, WM_SYSKEYDOWN   18 character, key code, repeat = bit 30 of lParam (system)
//   WM_KEYUP, WM_SYSKEYUP       20 character, key code, no repeat (system)
//   WM_CHAR, WM_SYSCHAR         19 character, repeat = bit 30 of lParam (system)
//   WM_COMMAND                  23 command id, notification code, double click by control class
//   WM_TIMER 22, WM_VSCROLL 27, WM_SIZING 9, WM_DROPFILES 24
//   WM_DPICHANGED               28 x the new DPI, area the frame the system suggests for it
//                               (screen coordinates)
//   WM_MOUSEMOVE 17, WM_LBUTTONDOWN 13, WM_LBUTTONDBLCLK 13 + double click, WM_LBUTTONUP 15,
//   WM_RBUTTONDOWN 14, WM_RBUTTONDBLCLK 14 + double click, WM_RBUTTONUP 16:
//                               x and y from lParam, shift and control from the mouse flags
//   anything else               0, with only the source window
//
// Every event of a kind other than 0 also carries the modifiers: shift and
// control from the keyboard state unless they came from the mouse flags,
// caps lock (toggled on), alt, and command equal to control.

// Clears event and fills it from message. False only when either is none.
bool TranslateToolkitEvent(const WindowMessage* message, ToolkitEvent* event);

// Whether the key is down now, as the thread's keyboard state says.
bool KeyIsDown(int virtualKey);
// Whether caps lock is toggled on.
bool CapsLockOn();

// Files dropped on a window from the shell.

// Registers the window for dropped files, or takes it off.
void AcceptDroppedFiles(HWND window, bool on);

// Reads the drop point (client coordinates) and every file of the drop into
// files, an array of empty paths from the general heap; a path of 260
// characters or more stays empty at its index. The drop handle is finished in
// any case. False, with nothing allocated, when the array cannot be had.
// Release a collected list with ReleaseDroppedFiles.
bool CollectDroppedFiles(HDROP drop, Point* dropPoint, DroppedFiles* files);
void ReleaseDroppedFiles(DroppedFiles* files);
