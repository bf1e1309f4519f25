#include "toolkit/events.h"

#include <new>

#include "foundation/platform_win32.h"
#include "toolkit/context.h"
#include "toolkit/dialogs.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/window_manager.h"

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

namespace {

// WM_SIZING: the callback sees the proposed client area in the window's
// current client coordinates; a non-zero answer writes its (changed) area
// back as the proposed frame.
uint8_t DispatchSizing(WindowManager* manager, WindowCallback callback, EventRecord* record) {
  HWND window = record->window;
  auto* proposed = reinterpret_cast<RECT*>(record->message.lParam);
  Insets insets;
  if (!proposed ||
      !FrameInsets(window, &insets.left, &insets.top, &insets.right, &insets.bottom))
    return AnswerNotHandled;
  Rect area{static_cast<int32_t>(proposed->left), static_cast<int32_t>(proposed->top),
            static_cast<int32_t>(proposed->right), static_cast<int32_t>(proposed->bottom)};
  ScreenToClientRect(window, &area);
  record->event.area = ShrunkByInsets(area, insets);
  uint8_t answer = DispatchEvent(manager, callback, window, EventSizing, record);
  if (answer != AnswerNotHandled) {
    Rect changed = record->event.area;
    ClientToScreenRect(window, &changed);
    Rect frame = GrownByInsets(changed, insets);
    proposed->left = frame.left;
    proposed->top = frame.top;
    proposed->right = frame.right;
    proposed->bottom = frame.bottom;
  }
  return answer;
}

// WM_PAINT: one paint event for each round of BeginPaint and EndPaint while
// the window has anything to paint.
uint8_t DispatchPaint(WindowManager* manager, WindowCallback callback, EventRecord* record) {
  HWND window = record->window;
  uint8_t answer = AnswerNotHandled;
  while (GetUpdateRect(window, nullptr, FALSE)) {
    PAINTSTRUCT paint;
    HDC deviceContext = BeginPaint(window, &paint);
    record->event.deviceContext = deviceContext;
    record->event.area = Rect{static_cast<int32_t>(paint.rcPaint.left),
                              static_cast<int32_t>(paint.rcPaint.top),
                              static_cast<int32_t>(paint.rcPaint.right),
                              static_cast<int32_t>(paint.rcPaint.bottom)};
    answer = DispatchEvent(manager, callback, window, EventPaint, record);
    EndPaint(window, &paint);
  }
  return answer;
}

// WM_DROPFILES: the callback gets the drop point and the list of files, which
// is released when it returns.
uint8_t DispatchDroppedFiles(WindowManager* manager, WindowCallback callback, EventRecord* record) {
  DroppedFiles files;
  Point dropPoint;
  if (!CollectDroppedFiles(reinterpret_cast<HDROP>(record->message.wParam), &dropPoint, &files))
    return AnswerNotHandled;
  record->event.x = static_cast<uint32_t>(dropPoint.x);
  record->event.y = static_cast<uint32_t>(dropPoint.y);
  record->event.droppedFiles = &files;
  uint8_t answer = DispatchEvent(manager, callback, record->window, EventFilesDropped, record);
  record->event.droppedFiles = nullptr;
  ReleaseDroppedFiles(&files);
  return answer;
}

}  // namespace

INT_PTR CALLBACK ToolkitDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowManager* manager = CurrentWindowManager();
  if (!manager) return 0;
  // The dialog manager then sets the focus itself.
  if (message == WM_INITDIALOG) return 1;
  WindowEntry* entry = FindWindowEntry(manager, window);
  if (!entry || !entry->open || entry->closing) return 0;

  EventRecord record;
  ZeroBytes(&record, sizeof record);
  record.message = WindowMessage{window, message, wParam, lParam};
  TranslateToolkitEvent(&record.message, &record.event);
  record.window = window;
  record.event.userData = entry->userData;
  WindowCallback callback = entry->callback;

  uint8_t answer;
  switch (record.event.kind) {
    case EventSizing: answer = DispatchSizing(manager, callback, &record); break;
    case EventPaint: answer = DispatchPaint(manager, callback, &record); break;
    case EventFilesDropped: answer = DispatchDroppedFiles(manager, callback, &record); break;
    default: answer = DispatchEvent(manager, callback, window, record.event.kind, &record); break;
  }
  if (record.event.kind == EventCloseRequest && answer == AnswerNotHandled) {
    // The callback may have closed the manager meanwhile.
    if (WindowManager* current = CurrentWindowManager()) UnregisterWindow(current, window);
    return 0;
  }
  return answer == AnswerMinusOne ? -1 : answer;
}
