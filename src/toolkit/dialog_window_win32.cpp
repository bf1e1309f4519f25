#include "toolkit/dialog_window.h"

#include "toolkit/dialog_procedure.h"
#include "toolkit/memory.h"
#include "toolkit/toolkit_app.h"
#include "toolkit/window_geometry.h"

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
  SetClientSize(window, width, height);
  return window;
}
