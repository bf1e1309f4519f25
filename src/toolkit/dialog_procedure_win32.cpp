// Toolkit dialogs: their creation, and their messages dispatched to the
// window manager's callbacks.
#include "toolkit/dialog_procedure_win32.h"

#include "toolkit/application.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/events_win32.h"
#include "toolkit/memory.h"
#include "toolkit/window_manager_win32.h"

HWND CreateToolkitDialog(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                         DialogKind kind) {
  void* dialogTemplate = NewDialogTemplate(kind);
  if (!dialogTemplate) return nullptr;
  HINSTANCE instance = static_cast<HINSTANCE>(ModuleHandleForKey(ProgramModuleKey));
  HWND window = CreateDialogIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(dialogTemplate),
                                           parent, ToolkitDialogProc, 0);
  // The system has taken what it needs from the template by now.
  ToolkitFree(dialogTemplate);
  if (!window) return nullptr;
  MoveWindowTo(window, Point{x, y});
  SetLayoutClientSize(window, width, height);
  return window;
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
