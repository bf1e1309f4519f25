#pragma once
// Small operations on a toolkit window. Each fails (false) for a window of
// none.

#include <windows.h>

#include <cstdint>

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
