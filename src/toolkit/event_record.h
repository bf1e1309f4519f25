#pragma once
// What a window's callback is told: the kind of event and an EventRecord
// with its details. Events come from the dialog procedure (one per window
// message, see events.h) or from the window manager itself (opened, closing,
// tick).

#include <windows.h>

#include <cstdint>

#include "foundation/fixed_path.h"
#include "toolkit/geometry.h"

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
  Rect area;          // paint: the rectangle to paint; sizing: the proposed client area
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
