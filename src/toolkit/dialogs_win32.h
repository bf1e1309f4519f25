#pragma once
// Dialog windows: their geometry on the screen, and the plain window
// operations the toolkit uses (toolkit/dialog_procedure_win32.h creates them).

#include "toolkit/dialogs.h"

#include <windows.h>

#include <cstdint>

// Placing and sizing toolkit windows in pixels. Every operation fails (false)
// and writes nothing when the window or a required pointer is none.

// Convert a point in place between the window's client and screen coordinates.
bool ClientToScreenPoint(HWND window, Point* point);
bool ScreenToClientPoint(HWND window, Point* point);
// Convert both corners, then normalise the rectangle.
bool ClientToScreenRect(HWND window, Rect* rect);
bool ScreenToClientRect(HWND window, Rect* rect);

// With frame false the client rectangle (left = top = 0); with frame true the
// frame rectangle in the window's own client coordinates, so that its left
// and top are minus the frame widths.
bool GetWindowBounds(HWND window, bool frame, Rect* out);
// Moves and sizes the window to rect (in its parent's client coordinates, or
// the screen's for a top-level window) and repaints it.
bool SetWindowBounds(HWND window, const Rect& rect);
// Moves the frame's top-left corner to point, keeping its size.
bool MoveWindowTo(HWND window, Point point);
// Sizes the frame so that the client area is width x height pixels, keeping
// the frame's top-left corner. Meant for top-level windows. The frame is that
// of the window's DPI.
bool SetClientSize(HWND window, int32_t width, int32_t height);
// The same for a size in 96-DPI layout pixels, scaled to the window's DPI.
bool SetLayoutClientSize(HWND window, int32_t width, int32_t height);
// Centres the window's frame over another window's frame, or over the screen
// when over is none.
bool CenterWindow(HWND window, HWND over);
// The screen: (0, 0, screen width, screen height).
bool ScreenRect(Rect* out);
// The frame widths on each side of the client area. All four are required.
bool FrameInsets(HWND window, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);
// Marks the whole client area for repainting, background included.
bool InvalidateWindow(HWND window);

// The DPI of the screen the window is on, and the DPI the system started with
// (the one its stock fonts are made for). The program declares itself aware
// of each screen's DPI. A system without the DPI functions (before Windows
// 10) has one DPI for every screen, the screen device's; where even that
// cannot be had, both are 96 and every window keeps its 96-DPI layout.
uint32_t WindowDpi(HWND window);
uint32_t SystemDpi();

// Small operations on a toolkit window. Each fails (false) for a window of
// none.

bool ShowToolkitWindow(HWND window);
void UpdateToolkitWindow(HWND window);
bool EnableToolkitWindow(HWND window);
bool DisableToolkitWindow(HWND window);
bool IsToolkitWindowEnabled(HWND window);

// Copies at most capacity characters of the window's text and a terminating
// NUL into buffer, which holds capacity + 1 bytes. An empty text (or an
// error) leaves the empty string and answers false.
bool GetWindowTextInto(HWND window, char* buffer, uint32_t capacity);
// False when the window or the text is none, or the system refuses.
bool SetWindowTextFrom(HWND window, const char* text);
// The module instance that owns the window.
HINSTANCE WindowInstance(HWND window);
