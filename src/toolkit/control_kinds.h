#pragma once
// The four simple control kinds. Each constructor takes the parent dialog,
// the control id, a rectangle in the parent's client pixels and a style:
// 0 selects the kind's default, any other value replaces it whole.
//
//   PushButton  "BUTTON"  0x50810000  child, visible, border, tab stop, BS_PUSHBUTTON
//   CheckBox    "BUTTON"  0x50010003  child, visible, tab stop, BS_AUTOCHECKBOX
//   EditField   "EDIT"    0x50810080  child, visible, border, tab stop, ES_AUTOHSCROLL
//   StaticText  "STATIC"  0x50000100  child, visible, SS_NOTIFY (left-aligned)
//
// A dialog's confirming button takes DefaultPushButtonStyle and id IDOK (1),
// its "Cancel" button id IDCANCEL (2): the ids the dialog manager's Enter and
// Escape keys send.

#include "toolkit/control.h"

constexpr uint32_t PushButtonStyle = 0x50810000u;
constexpr uint32_t DefaultPushButtonStyle = 0x50810001u;  // plus BS_DEFPUSHBUTTON
constexpr uint32_t CheckBoxStyle = 0x50010003u;
constexpr uint32_t EditFieldStyle = 0x50810080u;
constexpr uint32_t StaticTextStyle = 0x50000100u;

// Parent and caption are required; without either no window is created.
class PushButton : public Control {
 public:
  PushButton(HWND parent, int32_t id, const Rect& rect, const char* caption, uint32_t style);
  ~PushButton() override;
};

// Toggles itself when clicked. Parent and caption are required.
class CheckBox : public Control {
 public:
  CheckBox(HWND parent, int32_t id, const Rect& rect, const char* caption, uint32_t style);
  ~CheckBox() override;
};

// A single-line edit field; text may be none (empty).
class EditField : public Control {
 public:
  EditField(HWND parent, int32_t id, const Rect& rect, const char* text, uint32_t style);
  ~EditField() override;
};

// A static text; text may be none (empty).
class StaticText : public Control {
 public:
  StaticText(HWND parent, int32_t id, const Rect& rect, const char* text, uint32_t style);
  ~StaticText() override;
};
