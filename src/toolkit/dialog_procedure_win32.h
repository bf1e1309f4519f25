#pragma once
// The toolkit's dialogs as the window manager runs them: creating one from
// the template of its kind, and the dialog procedure that turns its messages
// into events for the callback the window is registered with.

#include <windows.h>

#include <cstdint>

#include "toolkit/dialogs.h"

// Creating a toolkit dialog: a modeless system dialog built from the
// in-memory template of its kind (dialogs.h), with the toolkit's
// dialog procedure, hidden until its owner shows it. It comes alive for its
// owner once it is registered with the window manager.

// x and y place the frame's top-left corner (screen coordinates for a
// top-level window); width and height are the client area's size in 96-DPI
// layout pixels, scaled to the DPI of the window's screen.
// The instance handle comes from the module table's program entry. None when
// the template cannot be built or the system refuses the dialog.
HWND CreateToolkitDialog(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                         DialogKind kind);

// The dialog procedure of every toolkit dialog. It turns each message for a
// registered, open window into an event for the window's callback (see
// events_win32.h for the translation) and answers with the callback's answer:
// 255 becomes -1, and a close request left unhandled (answer 0) unregisters
// the window. Sizing events carry the proposed client area and write the
// callback's changes back to the frame; paint events run the whole paint
// cycle; dropped files arrive as a list of paths.
//
// Messages for a window that is not registered, not yet open (its opened
// event not yet accepted) or already closing get 0 and the system's default
// dialog handling, and never reach a callback.

INT_PTR CALLBACK ToolkitDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
