#include "toolkit/dialogs_win32.h"

// The DPI functions of Windows 10, which the headers show only to programs
// that require it; this one runs without them (see WindowDpi).
#if WINVER < 0x0605
extern "C" {
WINUSERAPI UINT WINAPI GetDpiForWindow(HWND window);
WINUSERAPI UINT WINAPI GetDpiForSystem(void);
WINUSERAPI BOOL WINAPI AdjustWindowRectExForDpi(LPRECT rect, DWORD style, BOOL menu, DWORD extendedStyle,
                                                UINT dpi);
}
#endif

namespace {

// A DPI function without an answer (0: none of them on this system) means 96.
uint32_t KnownDpi(UINT dpi) { return dpi != 0 ? dpi : LayoutDpi; }

Rect FromRECT(const RECT& r) {
  return Rect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
              static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
}

// Converts both corners with convert (ClientToScreen or ScreenToClient) and
// normalises the result.
bool ConvertRect(HWND window, Rect* rect, BOOL(WINAPI* convert)(HWND, LPPOINT)) {
  if (!window || !rect) return false;
  POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  if (!convert(window, &corners[0]) || !convert(window, &corners[1])) return false;
  *rect = NormalizedRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
  return true;
}

bool ConvertPoint(HWND window, Point* point, BOOL(WINAPI* convert)(HWND, LPPOINT)) {
  if (!window || !point) return false;
  POINT p = {point->x, point->y};
  if (!convert(window, &p)) return false;
  *point = Point{static_cast<int32_t>(p.x), static_cast<int32_t>(p.y)};
  return true;
}

// The frame rectangle in screen coordinates, by way of the window's own
// client coordinates as every caller of GetWindowBounds sees it.
bool FrameOnScreen(HWND window, Rect* out) {
  return GetWindowBounds(window, true, out) && ClientToScreenRect(window, out);
}

}  // namespace

bool ClientToScreenPoint(HWND window, Point* point) { return ConvertPoint(window, point, ClientToScreen); }

bool ScreenToClientPoint(HWND window, Point* point) { return ConvertPoint(window, point, ScreenToClient); }

bool ClientToScreenRect(HWND window, Rect* rect) { return ConvertRect(window, rect, ClientToScreen); }

bool ScreenToClientRect(HWND window, Rect* rect) { return ConvertRect(window, rect, ScreenToClient); }

bool GetWindowBounds(HWND window, bool frame, Rect* out) {
  if (!window || !out) return false;
  RECT r;
  if (!frame) {
    if (!GetClientRect(window, &r)) return false;
    *out = FromRECT(r);
    return true;
  }
  if (!GetWindowRect(window, &r)) return false;
  Rect bounds = FromRECT(r);
  if (!ScreenToClientRect(window, &bounds)) return false;
  *out = bounds;
  return true;
}

bool SetWindowBounds(HWND window, const Rect& rect) {
  if (!window) return false;
  return MoveWindow(window, rect.left, rect.top, RectWidth(rect), RectHeight(rect), TRUE) != FALSE;
}

bool MoveWindowTo(HWND window, Point point) {
  Rect frame;
  if (!GetWindowBounds(window, true, &frame)) return false;
  return SetWindowBounds(window, RectMovedTo(frame, point));
}

bool SetClientSize(HWND window, int32_t width, int32_t height) {
  Rect frame;
  if (!FrameOnScreen(window, &frame)) return false;
  DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  DWORD extendedStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  RECT grown = {0, 0, 0, 0};
  const BOOL menu = GetMenu(window) != nullptr;
  // The frame of the window's own DPI; the system's where that cannot be had.
  if (!AdjustWindowRectExForDpi(&grown, style, menu, extendedStyle, WindowDpi(window)) &&
      !AdjustWindowRectEx(&grown, style, menu, extendedStyle))
    return false;
  // The system leaves scroll bars out of the frame's extra size, although
  // they take their room from the client area.
  if (style & WS_VSCROLL) grown.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) grown.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return SetWindowBounds(window, FrameForClientSize(frame, width, height, FromRECT(grown)));
}

bool SetLayoutClientSize(HWND window, int32_t width, int32_t height) {
  const uint32_t dpi = WindowDpi(window);
  return SetClientSize(window, ScaledPixels(width, dpi), ScaledPixels(height, dpi));
}

uint32_t WindowDpi(HWND window) {
  const UINT dpi = window ? GetDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

uint32_t SystemDpi() {
  if (const UINT dpi = GetDpiForSystem()) return dpi;
  HDC screen = GetDC(nullptr);
  if (!screen) return LayoutDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return KnownDpi(dpi > 0 ? static_cast<UINT>(dpi) : 0);
}

bool CenterWindow(HWND window, HWND over) {
  Rect frame;
  if (!FrameOnScreen(window, &frame)) return false;
  Rect area;
  if (over ? !FrameOnScreen(over, &area) : !ScreenRect(&area)) return false;
  return SetWindowBounds(window, CenteredFrame(frame, area));
}

bool ScreenRect(Rect* out) {
  if (!out) return false;
  *out = Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return true;
}

bool FrameInsets(HWND window, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
  if (!left || !top || !right || !bottom) return false;
  Rect client;
  Rect frame;
  if (!GetWindowBounds(window, false, &client) || !ClientToScreenRect(window, &client)) return false;
  if (!FrameOnScreen(window, &frame)) return false;
  Insets insets = InsetsBetween(client, frame);
  *left = insets.left;
  *top = insets.top;
  *right = insets.right;
  *bottom = insets.bottom;
  return true;
}

bool InvalidateWindow(HWND window) {
  if (!window) return false;
  return InvalidateRect(window, nullptr, TRUE) != FALSE;
}

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
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}
