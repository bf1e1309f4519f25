#include "toolkit/control.h"

#include "toolkit/memory.h"
#include "toolkit/window_operations.h"

void* Control::operator new(size_t size) noexcept { return ToolkitAlloc(size, false); }

void Control::operator delete(void* block) noexcept { ToolkitFree(block); }

Control::Control() : window(nullptr), valid(0) {}

Control::~Control() { valid = 0; }

void Control::Create(HWND parent, int32_t id, const Rect& rect, const char* className,
                     const char* windowText, uint32_t style, bool setText, const char* text) {
  HWND created = CreateWindowExA(0, className, windowText, style, rect.left, rect.top,
                                 RectWidth(rect), RectHeight(rect), parent, nullptr,
                                 WindowInstance(parent), nullptr);
  if (!created) return;
  window = created;
  valid = 1;
  if (!SetId(id) || (setText && !SetText(text))) valid = 0;
}

HWND Control::ControlWindow() const { return valid ? window : nullptr; }

bool Control::GetText(char* buffer, uint32_t capacity) const {
  HWND control = ControlWindow();
  if (!control || !buffer) return false;
  return GetWindowTextInto(control, buffer, capacity);
}

bool Control::SetText(const char* text) { return SetWindowTextFrom(ControlWindow(), text ? text : ""); }

bool Control::IsEnabled() const { return IsToolkitWindowEnabled(ControlWindow()); }

bool Control::Enable() { return EnableToolkitWindow(ControlWindow()); }

bool Control::Disable() { return DisableToolkitWindow(ControlWindow()); }

bool Control::IsChecked() const {
  HWND control = ControlWindow();
  if (!control) return false;
  return IsDlgButtonChecked(GetParent(control), GetDlgCtrlID(control)) == BST_CHECKED;
}

bool Control::Check() {
  HWND control = ControlWindow();
  if (!control) return false;
  return CheckDlgButton(GetParent(control), GetDlgCtrlID(control), BST_CHECKED) != FALSE;
}

bool Control::Uncheck() {
  HWND control = ControlWindow();
  if (!control) return false;
  return CheckDlgButton(GetParent(control), GetDlgCtrlID(control), BST_UNCHECKED) != FALSE;
}

int32_t Control::Id() const {
  HWND control = ControlWindow();
  return control ? static_cast<int32_t>(GetWindowLongA(control, GWL_ID)) : 0;
}

bool Control::SetId(int32_t id) {
  HWND control = ControlWindow();
  if (!control) return false;
  SetLastError(0);
  LONG previous = SetWindowLongA(control, GWL_ID, id);
  return previous != 0 || GetLastError() == 0;
}
