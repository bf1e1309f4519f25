#include "toolkit/window_operations.h"

bool ShowToolkitWindow(HWND window) {
  if (!window) return false;
  ShowWindow(window, SW_SHOW);
  return true;
}

void UpdateToolkitWindow(HWND window) { UpdateWindow(window); }

bool EnableToolkitWindow(HWND window) {
  if (!window) return false;
  EnableWindow(window, TRUE);
  return true;
}

bool DisableToolkitWindow(HWND window) {
  if (!window) return false;
  EnableWindow(window, FALSE);
  return true;
}

bool IsToolkitWindowEnabled(HWND window) { return window && IsWindowEnabled(window); }

bool GetWindowTextInto(HWND window, char* buffer, uint32_t capacity) {
  if (!window || !buffer) return false;
  uint32_t length = static_cast<uint32_t>(GetWindowTextLengthA(window));
  uint32_t count = (length < capacity ? length : capacity) + 1;
  if (GetWindowTextA(window, buffer, static_cast<int>(count)) == 0) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool SetWindowTextFrom(HWND window, const char* text) {
  if (!window || !text) return false;
  return SetWindowTextA(window, text) != FALSE;
}

HINSTANCE WindowInstance(HWND window) {
  return reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(GetWindowLongA(window, GWL_HINSTANCE)));
}
