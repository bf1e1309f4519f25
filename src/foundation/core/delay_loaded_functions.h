// The functions of the window libraries (user32, gdi32, winmm) that the
// program calls, with the bytes of their arguments on 32-bit x86 (stdcall).
// ControlPanel.exe reaches them through delay-import libraries made from this
// list (cmake/delay-imports.cmake reads it, one entry a line), so that option
// mode starts without these libraries; platform_win32.cpp loads them from the
// system folder on the first call. A function called by the program but
// missing here would be linked the ordinary way and bring its library back
// into the import table: the import-table test fails on that.
//
// WINDOW_LIBRARY_FUNCTION_WIN64 names a function the 64-bit build calls
// under another name than the 32-bit one (GetWindowLongPtrA is
// GetWindowLongA there).
//
// The DPI functions (GetDpiForWindow and the like) exist from Windows 10 on;
// on an older system each resolves to the stand-in that answers 0, and the
// toolkit asks the screen device instead.
WINDOW_LIBRARY_FUNCTION(user32, AdjustWindowRectEx, 16)
WINDOW_LIBRARY_FUNCTION(user32, AdjustWindowRectExForDpi, 20)
WINDOW_LIBRARY_FUNCTION(user32, BeginPaint, 8)
WINDOW_LIBRARY_FUNCTION(user32, CheckDlgButton, 12)
WINDOW_LIBRARY_FUNCTION(user32, ClientToScreen, 8)
WINDOW_LIBRARY_FUNCTION(user32, CreateDialogIndirectParamA, 20)
WINDOW_LIBRARY_FUNCTION(user32, CreateWindowExA, 48)
WINDOW_LIBRARY_FUNCTION(user32, CreateWindowExW, 48)
WINDOW_LIBRARY_FUNCTION(user32, DestroyWindow, 4)
WINDOW_LIBRARY_FUNCTION(user32, DispatchMessageA, 4)
WINDOW_LIBRARY_FUNCTION(user32, EnableWindow, 8)
WINDOW_LIBRARY_FUNCTION(user32, EndPaint, 8)
WINDOW_LIBRARY_FUNCTION(user32, GetActiveWindow, 0)
WINDOW_LIBRARY_FUNCTION(user32, GetClassNameA, 12)
WINDOW_LIBRARY_FUNCTION(user32, GetClientRect, 8)
WINDOW_LIBRARY_FUNCTION(user32, GetDC, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetDlgCtrlID, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetDpiForSystem, 0)
WINDOW_LIBRARY_FUNCTION(user32, GetDpiForWindow, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetFocus, 0)
WINDOW_LIBRARY_FUNCTION(user32, GetKeyState, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetMenu, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetParent, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetSystemMetrics, 4)
WINDOW_LIBRARY_FUNCTION(user32, GetUpdateRect, 12)
WINDOW_LIBRARY_FUNCTION(user32, GetWindowLongA, 8)
WINDOW_LIBRARY_FUNCTION(user32, GetWindowRect, 8)
WINDOW_LIBRARY_FUNCTION(user32, GetWindowTextA, 12)
WINDOW_LIBRARY_FUNCTION(user32, GetWindowTextLengthA, 4)
WINDOW_LIBRARY_FUNCTION(user32, InvalidateRect, 12)
WINDOW_LIBRARY_FUNCTION(user32, IsDialogMessageA, 8)
WINDOW_LIBRARY_FUNCTION(user32, IsDlgButtonChecked, 8)
WINDOW_LIBRARY_FUNCTION(user32, IsWindowEnabled, 4)
WINDOW_LIBRARY_FUNCTION(user32, MessageBoxA, 16)
WINDOW_LIBRARY_FUNCTION(user32, MoveWindow, 24)
WINDOW_LIBRARY_FUNCTION(user32, MsgWaitForMultipleObjects, 20)
WINDOW_LIBRARY_FUNCTION(user32, PeekMessageA, 20)
WINDOW_LIBRARY_FUNCTION(user32, ReleaseDC, 8)
WINDOW_LIBRARY_FUNCTION(user32, ScreenToClient, 8)
WINDOW_LIBRARY_FUNCTION(user32, SendMessageA, 16)
WINDOW_LIBRARY_FUNCTION(user32, SendMessageW, 16)
WINDOW_LIBRARY_FUNCTION(user32, SetWindowLongA, 12)
WINDOW_LIBRARY_FUNCTION(user32, SetWindowTextA, 8)
WINDOW_LIBRARY_FUNCTION(user32, ShowWindow, 8)
WINDOW_LIBRARY_FUNCTION(user32, TranslateMessage, 4)
WINDOW_LIBRARY_FUNCTION(user32, UpdateWindow, 4)
WINDOW_LIBRARY_FUNCTION(user32, WaitMessage, 0)
WINDOW_LIBRARY_FUNCTION(gdi32, CreateFontIndirectA, 4)
WINDOW_LIBRARY_FUNCTION(gdi32, DeleteObject, 4)
WINDOW_LIBRARY_FUNCTION(gdi32, GetDeviceCaps, 8)
WINDOW_LIBRARY_FUNCTION(gdi32, GetObjectA, 12)
WINDOW_LIBRARY_FUNCTION(gdi32, GetStockObject, 4)
WINDOW_LIBRARY_FUNCTION(gdi32, GetTextExtentPoint32A, 16)
WINDOW_LIBRARY_FUNCTION(gdi32, SelectObject, 8)
WINDOW_LIBRARY_FUNCTION(winmm, timeGetTime, 0)
WINDOW_LIBRARY_FUNCTION_WIN64(user32, GetWindowLongPtrA)
