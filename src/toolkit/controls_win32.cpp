#include "toolkit/controls_win32.h"

#include "toolkit/dialogs_win32.h"
#include "toolkit/memory.h"

void* Control::operator new(size_t size) noexcept { return ToolkitAlloc(size, false); }

void Control::operator delete(void* block) noexcept { ToolkitFree(block); }

Control::Control() : window_(nullptr), valid_(0), layout_{0, 0, 0, 0} {}

Control::~Control() { valid_ = 0; }

namespace {

// The longest class name of the system's controls ("SCROLLBAR"), with room.
constexpr size_t ClassNameChars = 16;

}  // namespace

void Control::Create(HWND parent, int32_t id, const Rect& rect, const char* className,
                     const char* windowText, uint32_t style, bool setText, const char* text, bool wideText) {
  const uint32_t dpi = WindowDpi(parent);
  const Rect placed = ScaledRect(rect, dpi);
  HWND created = nullptr;
  if (wideText) {
    // The system's class names are ASCII.
    wchar_t wideClass[ClassNameChars] = {};
    for (size_t i = 0; className && className[i] && i + 1 < ClassNameChars; ++i)
      wideClass[i] = static_cast<wchar_t>(static_cast<unsigned char>(className[i]));
    if (!windowText)
      created = CreateWindowExW(0, wideClass, nullptr, style, placed.left, placed.top, RectWidth(placed),
                                RectHeight(placed), parent, nullptr, WindowInstance(parent), nullptr);
  } else {
    created = CreateWindowExA(0, className, windowText, style, placed.left, placed.top, RectWidth(placed),
                              RectHeight(placed), parent, nullptr, WindowInstance(parent), nullptr);
  }
  if (!created) return;
  window_ = created;
  valid_ = 1;
  layout_ = rect;
  if (HFONT font = ControlFontForDpi(dpi)) SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (!SetId(id) || (setText && !SetText(text))) valid_ = 0;
}

HWND Control::ControlWindow() const { return valid_ ? window_ : nullptr; }

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

bool Control::FollowDpi(uint32_t dpi) {
  HWND control = ControlWindow();
  if (!control || !SetWindowBounds(control, ScaledRect(layout_, dpi))) return false;
  // None puts the system font back.
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFontForDpi(dpi)), TRUE);
  return true;
}

namespace {

// The system font scaled from the DPI the system started with to dpi.
bool DescribeSystemFont(uint32_t dpi, LOGFONTA* font) {
  if (GetObjectA(GetStockObject(SYSTEM_FONT), sizeof *font, font) != sizeof *font) return false;
  font->lfHeight = ScaledPixels(font->lfHeight, dpi, SystemDpi());
  font->lfWidth = ScaledPixels(font->lfWidth, dpi, SystemDpi());
  return true;
}

// The fixed-pitch font of text views: every character as wide as "X".
constexpr int32_t FixedFontLayoutHeight = 13;  // pixels at 96 DPI: about 10 points
constexpr char FixedFontFace[] = "Courier New";

bool DescribeFixedFont(uint32_t dpi, LOGFONTA* font) {
  *font = LOGFONTA{};
  font->lfHeight = -ScaledPixels(FixedFontLayoutHeight, dpi);
  font->lfWeight = FW_NORMAL;
  font->lfCharSet = DEFAULT_CHARSET;
  font->lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  static_assert(sizeof FixedFontFace <= sizeof font->lfFaceName, "the face name fits");
  for (size_t i = 0; i < sizeof FixedFontFace; ++i) font->lfFaceName[i] = FixedFontFace[i];
  return true;
}

// The fonts of one description made so far, one per DPI, deleted when the
// program ends.
class ScaledFonts {
 public:
  explicit ScaledFonts(bool (*describe)(uint32_t dpi, LOGFONTA* font)) : describe_(describe) {}
  ~ScaledFonts() {
    for (uint32_t i = 0; i < count_; ++i) DeleteObject(fonts_[i].font);
  }
  ScaledFonts(const ScaledFonts&) = delete;
  ScaledFonts& operator=(const ScaledFonts&) = delete;

  HFONT ForDpi(uint32_t dpi) {
    for (uint32_t i = 0; i < count_; ++i)
      if (fonts_[i].dpi == dpi) return fonts_[i].font;
    if (count_ == Capacity) return nullptr;  // more screens than anyone has: the system font
    LOGFONTA description;
    if (!describe_(dpi, &description)) return nullptr;
    HFONT font = CreateFontIndirectA(&description);
    if (!font) return nullptr;
    fonts_[count_++] = {dpi, font};
    return font;
  }

 private:
  static constexpr uint32_t Capacity = 8;
  struct Entry {
    uint32_t dpi;
    HFONT font;
  };
  bool (*describe_)(uint32_t dpi, LOGFONTA* font);
  Entry fonts_[Capacity] = {};
  uint32_t count_ = 0;
};

ScaledFonts scaledFonts(DescribeSystemFont);
ScaledFonts fixedFonts(DescribeFixedFont);

}  // namespace

static_assert(TextViewStyle == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                ES_NOHIDESEL | ES_AUTOHSCROLL),
              "a read-only multi-line edit that never wraps");
static_assert(ScrollingTextViewStyle == (TextViewStyle | WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL),
              "the same with both scroll bars");

TextView::TextView(HWND parent, int32_t id, const Rect& rect, const char* text, bool scrollBars) {
  if (!parent) return;
  Create(parent, id, rect, "EDIT", nullptr, scrollBars ? ScrollingTextViewStyle : TextViewStyle, true, text);
  FollowDpi(WindowDpi(parent));
}

TextView::~TextView() = default;

bool TextView::FollowDpi(uint32_t dpi) {
  if (!Control::FollowDpi(dpi)) return false;
  SendMessageA(ControlWindow(), WM_SETFONT, reinterpret_cast<WPARAM>(fixedFonts.ForDpi(dpi ? dpi : LayoutDpi)), TRUE);
  return true;
}

bool FixedFontCell(int32_t* width, int32_t* height) {
  HFONT font = fixedFonts.ForDpi(LayoutDpi);
  HDC screen = font ? GetDC(nullptr) : nullptr;
  if (!screen) return false;
  HGDIOBJ before = SelectObject(screen, font);
  SIZE cell = {};
  const bool measured = GetTextExtentPoint32A(screen, "X", 1, &cell) != 0;
  SelectObject(screen, before);
  ReleaseDC(nullptr, screen);
  if (!measured || cell.cx <= 0 || cell.cy <= 0) return false;
  *width = cell.cx;
  *height = cell.cy;
  return true;
}

HFONT ControlFontForDpi(uint32_t dpi) {
  if (dpi == 0 || dpi == SystemDpi()) return nullptr;
  return scaledFonts.ForDpi(dpi);
}

bool FollowDpiChange(HWND window, const GrowArray& controls, uint32_t dpi, const Rect& suggestedFrame) {
  if (!window) return false;
  SetWindowBounds(window, suggestedFrame);
  for (uint32_t i = 0; i < controls.count; ++i)
    if (Control* control = ControlAt(controls, i)) control->FollowDpi(dpi);
  return true;
}

bool FocusControl(HWND dialog, const Control* control) {
  HWND focus = control ? control->ControlWindow() : nullptr;
  if (!dialog || !focus) return false;
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
  SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  return true;
}

bool RecoverFocus(HWND dialog, const Control* fallback) {
  HWND target = fallback ? fallback->ControlWindow() : nullptr;
  if (!dialog || !target || GetActiveWindow() != dialog || !IsWindowEnabled(target)) return false;
  HWND focus = GetFocus();
  if (focus && (focus == dialog || GetParent(focus) != dialog || IsWindowEnabled(focus))) return false;
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
  return true;
}

bool SetDefaultButton(HWND dialog, int32_t id) {
  if (!dialog) return false;
  SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
  return true;
}

bool AppendControl(GrowArray& list, Control* control) {
  if (list.elementSize != ControlListElementSize) return false;
  if (!SetCount(list, list.count + 1)) return false;
  *static_cast<Control**>(GrowArrayElement(list, list.count - 1)) = control;
  return true;
}

Control* ControlAt(const GrowArray& list, uint32_t index) {
  auto* slot = static_cast<Control**>(GrowArrayElement(list, index));
  return slot ? *slot : nullptr;
}

void DestroyControls(GrowArray& list) {
  if (list.elementSize != ControlListElementSize) return;
  for (uint32_t i = 0; i < list.count; ++i) {
    auto* slot = static_cast<Control**>(GrowArrayElement(list, i));
    delete *slot;
    *slot = nullptr;
  }
}

Control* ControlWithId(const GrowArray& list, int32_t id) {
  for (uint32_t i = 0; i < list.count; ++i) {
    Control* control = ControlAt(list, i);
    if (control && control->Id() == id) return control;
  }
  return nullptr;
}

namespace {

// A window's device context (GetDC), with the object selected into it put
// back and the context released (ReleaseDC) when it goes out of scope.
class WindowDeviceContext {
 public:
  explicit WindowDeviceContext(HWND window) : window_(window), context_(GetDC(window)) {}
  ~WindowDeviceContext() {
    if (!context_) return;
    if (previous_) SelectObject(context_, previous_);
    ReleaseDC(window_, context_);
  }
  WindowDeviceContext(const WindowDeviceContext&) = delete;
  WindowDeviceContext& operator=(const WindowDeviceContext&) = delete;

  bool IsValid() const { return context_ != nullptr; }
  HDC Get() const { return context_; }
  // Selects object into the context; the first object it replaced comes back
  // when the owner goes.
  void Select(HGDIOBJ object) {
    HGDIOBJ replaced = SelectObject(context_, object);
    if (!previous_) previous_ = replaced;
  }

 private:
  HWND window_;
  HDC context_;
  HGDIOBJ previous_ = nullptr;
};

// The list box's answer, as the signed 32-bit value it is.
int32_t Ask(HWND listBox, UINT message, WPARAM wParam, LPARAM lParam) {
  return static_cast<int32_t>(SendMessageA(listBox, message, wParam, lParam));
}

// Deselects items 0 to 65535.
constexpr LPARAM AllItemsRange = static_cast<LPARAM>(0xFFFF0000u);

}  // namespace

ListBox::ListBox(HWND parent, int32_t id, const Rect& rect, uint8_t extendedSelection,
                 uint32_t style, bool wideText) {
  if (!parent) return;
  uint32_t defaultStyle = extendedSelection ? ExtendedListBoxStyle : SingleListBoxStyle;
  Create(parent, id, rect, "LISTBOX", nullptr, StyleOrDefault(style, defaultStyle), false, nullptr, wideText);
}

ListBox::~ListBox() = default;

bool ListBox::ClearSelection() {
  HWND box = ControlWindow();
  if (!box) return false;
  Ask(box, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  Ask(box, LB_SELITEMRANGE, FALSE, AllItemsRange);
  return true;
}

bool ListBox::Count(int32_t* count) {
  HWND box = ControlWindow();
  if (!box || !count) return false;
  *count = 0;
  *count = Ask(box, LB_GETCOUNT, 0, 0);
  return *count != LB_ERR;
}

bool ListBox::SelectedCount(int32_t* count) {
  HWND box = ControlWindow();
  if (!box || !count) return false;
  *count = 0;
  int32_t selected = Ask(box, LB_GETSELCOUNT, 0, 0);
  if (selected != LB_ERR) {
    *count = selected;
    return true;
  }
  // A single-selection list box cannot tell: count the selected items.
  int32_t items = Ask(box, LB_GETCOUNT, 0, 0);
  if (items == LB_ERR) return false;
  for (int32_t i = 0; i < items; ++i) {
    int32_t state = Ask(box, LB_GETSEL, static_cast<WPARAM>(i), 0);
    if (state == LB_ERR) return false;
    if (state > 0) ++*count;
  }
  return true;
}

bool ListBox::ItemTextLength(int32_t index, int32_t* length) {
  HWND box = ControlWindow();
  if (!box || !length) return false;
  int32_t answer = Ask(box, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (answer == LB_ERR) return false;
  *length = answer;
  return true;
}

bool ListBox::ItemText(int32_t index, char* buffer, uint32_t capacity) {
  HWND box = ControlWindow();
  if (!box || !buffer) return false;
  int32_t length = 0;
  if (!ItemTextLength(index, &length) || static_cast<uint32_t>(length) > capacity) return false;
  buffer[0] = '\0';
  return Ask(box, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)) != LB_ERR;
}

bool ListBox::CurrentSelection(int32_t* index) {
  HWND box = ControlWindow();
  if (!box || !index) return false;
  *index = Ask(box, LB_GETCURSEL, 0, 0);
  int32_t state = Ask(box, LB_GETSEL, static_cast<WPARAM>(*index), 0);
  return state != 0 && state != LB_ERR;
}

bool ListBox::Select(int32_t index) {
  HWND box = ControlWindow();
  if (!box || index < 0) return false;
  return Ask(box, LB_SETSEL, TRUE, index) != LB_ERR;
}

bool ListBox::IsSelected(int32_t index) {
  HWND box = ControlWindow();
  if (!box) return false;
  return Ask(box, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

bool ListBox::DeleteItem(int32_t index) {
  HWND box = ControlWindow();
  if (!box) return false;
  return Ask(box, LB_DELETESTRING, static_cast<WPARAM>(index), 0) != LB_ERR;
}

bool ListBox::InsertItem(int32_t index, const char* text) {
  HWND box = ControlWindow();
  if (!box || !text) return false;
  int32_t answer = Ask(box, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return answer != LB_ERR && answer != LB_ERRSPACE;
}

bool ListBox::AddItem(const char* text) {
  HWND box = ControlWindow();
  if (!box || !text) return false;
  int32_t answer = Ask(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  return answer != LB_ERR && answer != LB_ERRSPACE;
}

bool ListBox::AddItemWide(const wchar_t* text) {
  HWND box = ControlWindow();
  if (!box || !text) return false;
  const int32_t answer = static_cast<int32_t>(SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  return answer != LB_ERR && answer != LB_ERRSPACE;
}

bool ListBox::SetHorizontalExtentChars(int32_t characters) {
  HWND box = ControlWindow();
  if (!box) return false;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0));
  WindowDeviceContext deviceContext(box);
  if (!deviceContext.IsValid()) return false;
  // Without a font of its own the list box draws in the system font, which a
  // new device context already holds.
  if (font) deviceContext.Select(font);
  SIZE extent = {0, 0};
  GetTextExtentPoint32A(deviceContext.Get(), "X", 1, &extent);
  SendMessageA(box, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(characters * extent.cx), 0);
  extentChars_ = characters;
  return true;
}

bool ListBox::FollowDpi(uint32_t dpi) {
  if (!Control::FollowDpi(dpi)) return false;
  return extentChars_ == 0 || SetHorizontalExtentChars(extentChars_);
}

bool ListBox::BeginFill(int32_t items, uint32_t bytes) {
  HWND box = ControlWindow();
  if (!box) return false;
  SendMessageA(box, WM_SETREDRAW, FALSE, 0);
  // Only a hint: the list grows by itself when it is refused.
  Ask(box, LB_INITSTORAGE, static_cast<WPARAM>(items > 0 ? items : 0), static_cast<LPARAM>(bytes));
  return true;
}

bool ListBox::EndFill() {
  HWND box = ControlWindow();
  if (!box) return false;
  SendMessageA(box, WM_SETREDRAW, TRUE, 0);
  return InvalidateRect(box, nullptr, TRUE) != FALSE;
}
