#pragma once
// The dialog procedure of every toolkit dialog. It turns each message for a
// registered, open window into an event for the window's callback (see
// events.h for the translation) and answers with the callback's answer:
// 255 becomes -1, and a close request left unhandled (answer 0) unregisters
// the window. Sizing events carry the proposed client area and write the
// callback's changes back to the frame; paint events run the whole paint
// cycle; dropped files arrive as a list of paths.
//
// Messages for a window that is not registered, not yet open (its opened
// event not yet accepted) or already closing get 0 and the system's default
// dialog handling, and never reach a callback.

#include <windows.h>

INT_PTR CALLBACK ToolkitDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
