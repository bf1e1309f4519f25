#pragma once
// Control objects: the child windows that the dialogs put on themselves,
// each wrapped in an object that remembers the window and whether its
// creation fully succeeded. Every operation goes through the object and
// quietly fails (false, 0 or none) when the control is not valid, so nothing
// is ever sent to a window the object does not vouch for.
//
// Objects come from the toolkit's memory routines: `new PushButton(...)`
// takes a block from ToolkitAlloc (none when memory runs out) and constructs
// the control in it; `delete control` runs the virtual destructor and
// releases the block with ToolkitFree. The destructor leaves the child window
// alone: it is destroyed together with its dialog.
//
// No font is ever set: controls draw in their class's default font.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "toolkit/geometry.h"

// The style a control is created with: style itself, or the kind's default
// for 0.
inline uint32_t StyleOrDefault(uint32_t style, uint32_t defaultStyle) {
  return style ? style : defaultStyle;
}

class Control {
 public:
  static void* operator new(size_t size) noexcept;
  static void operator delete(void* block) noexcept;

  // Clears the valid flag; the window stays on its dialog.
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The child window, or none when the control is not valid. Every other
  // operation reaches the window through it.
  HWND ControlWindow() const;

  // At most capacity characters and a NUL into buffer (capacity + 1 bytes);
  // false for an empty text.
  bool GetText(char* buffer, uint32_t capacity) const;
  // None sets the empty text.
  bool SetText(const char* text);
  bool IsEnabled() const;
  bool Enable();
  bool Disable();
  // The check state, read and set through the parent dialog by the control's id.
  bool IsChecked() const;
  bool Check();
  bool Uncheck();
  // The control id reported by command events; 0 when not valid.
  int32_t Id() const;
  // A previous id of 0 counts as success.
  bool SetId(int32_t id);

  HWND window;    // the child window, or none
  uint8_t valid;  // the window exists and its id (and text) could be set

 protected:
  Control();
  // Creates the child window of className on parent at rect with style and
  // windowText, then sets its id and, with setText, its text. The object
  // stays (or becomes again) not valid when a step fails; a window that was
  // created stays on the dialog.
  void Create(HWND parent, int32_t id, const Rect& rect, const char* className,
              const char* windowText, uint32_t style, bool setText, const char* text);
};
