#include "toolkit/events_win32.h"

#include <new>

#include "foundation/core/platform_win32.h"
#include "toolkit/dialogs.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/memory.h"

namespace {

constexpr LPARAM RepeatBit = 1 << 30;

EventKind SizeKind(WPARAM type) {
  switch (type) {
    case SIZE_RESTORED: return EventRestored;
    case SIZE_MINIMIZED: return EventMinimized;
    case SIZE_MAXIMIZED: return EventMaximized;
    default: return EventOther;
  }
}

EventKind ActivateKind(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case WA_INACTIVE: return EventDeactivated;
    case WA_ACTIVE:
    case WA_CLICKACTIVE: return EventActivated;
    default: return EventOther;
  }
}

bool IsMouseKind(EventKind kind) { return kind >= EventLeftButtonDown && kind <= EventMouseMoved; }

void PutKey(const WindowMessage& message, ToolkitEvent* event, bool withKeyCode, bool withRepeat) {
  event->character = static_cast<int32_t>(static_cast<int8_t>(message.wParam & 0xFF));
  if (withKeyCode) event->keyCode = static_cast<uint32_t>(message.wParam);
  if (withRepeat) event->repeat = (message.lParam & RepeatBit) ? 1 : 0;
}

void PutMouse(const WindowMessage& message, ToolkitEvent* event) {
  event->x = LOWORD(message.lParam);
  event->y = HIWORD(message.lParam);
  event->shift = (message.wParam & MK_SHIFT) ? 1 : 0;
  event->control = (message.wParam & MK_CONTROL) ? 1 : 0;
}

void PutCommand(const WindowMessage& message, ToolkitEvent* event) {
  event->commandId = LOWORD(message.wParam);
  event->notificationCode = HIWORD(message.wParam);
  HWND control = reinterpret_cast<HWND>(message.lParam);
  char className[ClassNameCharacters + 1];
  if (control && GetClassNameA(control, className, sizeof className) > 0)
    event->doubleClick = IsDoubleClickCommand(className, event->notificationCode) ? 1 : 0;
}

}  // namespace

bool KeyIsDown(int virtualKey) { return (static_cast<uint16_t>(GetKeyState(virtualKey)) & 0x8000) != 0; }

bool CapsLockOn() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }

bool TranslateToolkitEvent(const WindowMessage* message, ToolkitEvent* event) {
  if (!message || !event) return false;
  ZeroBytes(event, sizeof *event);
  event->source = message->window;
  const WindowMessage& m = *message;
  switch (m.number) {
    case WM_DESTROY:
    case WM_CLOSE: event->kind = EventCloseRequest; break;
    case WM_SIZE: event->kind = SizeKind(m.wParam); break;
    case WM_ACTIVATE: event->kind = ActivateKind(m.wParam); break;
    case WM_PAINT: event->kind = EventPaint; break;
    case WM_SYSKEYDOWN: event->system = 1; [[fallthrough]];
    case WM_KEYDOWN:
      event->kind = EventKeyDown;
      PutKey(m, event, true, true);
      break;
    case WM_SYSKEYUP: event->system = 1; [[fallthrough]];
    case WM_KEYUP:
      event->kind = EventKeyUp;
      PutKey(m, event, true, false);
      break;
    case WM_SYSCHAR: event->system = 1; [[fallthrough]];
    case WM_CHAR:
      event->kind = EventCharacter;
      PutKey(m, event, false, true);
      break;
    case WM_COMMAND:
      event->kind = EventCommand;
      PutCommand(m, event);
      break;
    case WM_TIMER: event->kind = EventTick; break;
    case WM_VSCROLL: event->kind = EventVerticalScroll; break;
    case WM_MOUSEMOVE: event->kind = EventMouseMoved; break;
    case WM_LBUTTONDBLCLK: event->doubleClick = 1; [[fallthrough]];
    case WM_LBUTTONDOWN: event->kind = EventLeftButtonDown; break;
    case WM_LBUTTONUP: event->kind = EventLeftButtonUp; break;
    case WM_RBUTTONDBLCLK: event->doubleClick = 1; [[fallthrough]];
    case WM_RBUTTONDOWN: event->kind = EventRightButtonDown; break;
    case WM_RBUTTONUP: event->kind = EventRightButtonUp; break;
    case WM_SIZING: event->kind = EventSizing; break;
    case WM_DROPFILES: event->kind = EventFilesDropped; break;
    case WM_DPICHANGED:
      event->kind = EventDpiChanged;
      event->x = LOWORD(m.wParam);
      if (const auto* suggested = reinterpret_cast<const RECT*>(m.lParam))
        event->area = Rect{static_cast<int32_t>(suggested->left), static_cast<int32_t>(suggested->top),
                           static_cast<int32_t>(suggested->right), static_cast<int32_t>(suggested->bottom)};
      break;
    default: break;
  }
  if (event->kind == EventOther) return true;
  if (IsMouseKind(event->kind)) {
    PutMouse(m, event);
  } else {
    event->shift = KeyIsDown(VK_SHIFT) ? 1 : 0;
    event->control = KeyIsDown(VK_CONTROL) ? 1 : 0;
  }
  event->capsLock = CapsLockOn() ? 1 : 0;
  event->alt = KeyIsDown(VK_MENU) ? 1 : 0;
  event->command = event->control;
  return true;
}

namespace {

constexpr UINT FileCountQuery = 0xFFFFFFFFu;

// The shell's drag-and-drop calls, loaded from the system folder on first use
// like every shell32 call of the program.
typedef void(WINAPI* AcceptCall)(HWND, BOOL);
typedef BOOL(WINAPI* PointCall)(HDROP, POINT*);
typedef UINT(WINAPI* QueryCall)(HDROP, UINT, LPSTR, UINT);
typedef void(WINAPI* FinishCall)(HDROP);

void Finish(HDROP drop) {
  auto finish = SystemFunctionAs<FinishCall>(SystemLibrary::Shell, "DragFinish");
  if (finish) finish(drop);
}

}  // namespace

void AcceptDroppedFiles(HWND window, bool on) {
  auto accept = SystemFunctionAs<AcceptCall>(SystemLibrary::Shell, "DragAcceptFiles");
  if (accept) accept(window, on ? TRUE : FALSE);
}

bool CollectDroppedFiles(HDROP drop, Point* dropPoint, DroppedFiles* files) {
  ZeroBytes(files, sizeof *files);
  auto queryPoint = SystemFunctionAs<PointCall>(SystemLibrary::Shell, "DragQueryPoint");
  auto queryFile = SystemFunctionAs<QueryCall>(SystemLibrary::Shell, "DragQueryFileA");
  if (!queryPoint || !queryFile) {
    Finish(drop);
    return false;
  }
  POINT point = {0, 0};
  queryPoint(drop, &point);
  *dropPoint = Point{static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
  UINT count = queryFile(drop, FileCountQuery, nullptr, 0);
  FixedPath* paths = new (std::nothrow) FixedPath[count];
  if (!paths) {
    Finish(drop);
    return false;
  }
  for (UINT i = 0; i < count; ++i) {
    UINT length = queryFile(drop, i, nullptr, 0);
    if (length + 1 <= FixedPath::TextBytes) queryFile(drop, i, paths[i].text, length + 1);
  }
  Finish(drop);
  files->present = 1;
  files->count = count;
  files->files = paths;
  return true;
}

void ReleaseDroppedFiles(DroppedFiles* files) {
  delete[] files->files;
  ZeroBytes(files, sizeof *files);
}
