#pragma once
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
//   WM_MOUSEMOVE 17, WM_LBUTTONDOWN 13, WM_LBUTTONDBLCLK 13 + double click, WM_LBUTTONUP 15,
//   WM_RBUTTONDOWN 14, WM_RBUTTONDBLCLK 14 + double click, WM_RBUTTONUP 16:
//                               x and y from lParam, shift and control from the mouse flags
//   anything else               0, with only the source window
//
// Every event of a kind other than 0 also carries the modifiers: shift and
// control from the keyboard state unless they came from the mouse flags,
// caps lock (toggled on), alt, and command equal to control.

#include <windows.h>

#include "toolkit/event_record.h"

// Clears event and fills it from message. False only when either is none.
bool TranslateToolkitEvent(const WindowMessage* message, ToolkitEvent* event);

// Whether the key is down now, as the thread's keyboard state says.
bool KeyIsDown(int virtualKey);
// Whether caps lock is toggled on.
bool CapsLockOn();
