#include "toolkit/control_kinds.h"

PushButton::PushButton(HWND parent, int32_t id, const Rect& rect, const char* caption,
                       uint32_t style) {
  if (!parent || !caption) return;
  Create(parent, id, rect, "BUTTON", caption, StyleOrDefault(style, PushButtonStyle), true, caption);
}

PushButton::~PushButton() = default;

CheckBox::CheckBox(HWND parent, int32_t id, const Rect& rect, const char* caption, uint32_t style) {
  if (!parent || !caption) return;
  Create(parent, id, rect, "BUTTON", caption, StyleOrDefault(style, CheckBoxStyle), true, caption);
}

CheckBox::~CheckBox() = default;

EditField::EditField(HWND parent, int32_t id, const Rect& rect, const char* text, uint32_t style) {
  if (!parent) return;
  Create(parent, id, rect, "EDIT", nullptr, StyleOrDefault(style, EditFieldStyle), true, text);
}

EditField::~EditField() = default;

StaticText::StaticText(HWND parent, int32_t id, const Rect& rect, const char* text,
                       uint32_t style) {
  if (!parent) return;
  Create(parent, id, rect, "STATIC", nullptr, StyleOrDefault(style, StaticTextStyle), true, text);
}

StaticText::~StaticText() = default;
