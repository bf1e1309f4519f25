#pragma once
// Controls: the control object, its kinds, the list of a dialog's controls,
// and list boxes.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "toolkit/dialogs.h"
#include "toolkit/grow_array.h"

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
// Controls are placed in 96-DPI layout pixels and scaled to the DPI of their
// dialog's screen (dialogs.h); each remembers its layout rectangle, so that
// it can be placed again when the dialog moves to a screen of another DPI.
// At the DPI the system started with, controls draw in the system font, as
// their classes do by default; at any other DPI they get the system font
// scaled to it (ControlFontForDpi).

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

  // True while the window exists and its id (and text) could be set.
  bool IsValid() const { return valid_ != 0; }

  // Places the control at its layout rectangle scaled to dpi and gives it the
  // font of that DPI.
  virtual bool FollowDpi(uint32_t dpi);

 protected:
  Control();
  // Creates the child window of className on parent at rect (96-DPI layout
  // pixels, scaled to the parent's DPI) with style and windowText, in the
  // font of that DPI, then sets its id and, with setText, its text. The object
  // stays (or becomes again) not valid when a step fails; a window that was
  // created stays on the dialog. wideText: the window keeps its texts in wide
  // characters, every character as given (windowText must then be none).
  void Create(HWND parent, int32_t id, const Rect& rect, const char* className,
              const char* windowText, uint32_t style, bool setText, const char* text, bool wideText = false);

 private:
  // Only a valid control vouches for its window: the window is handed out
  // through ControlWindow, which gives none once the control is not valid.
  HWND window_;    // the child window, or none
  uint8_t valid_;  // the window exists and its id (and text) could be set
  Rect layout_;    // where it goes at 96 DPI
};

// The font of controls on a screen of dpi: none (they keep the system font)
// at the DPI the system started with, else the system font scaled from that
// DPI to dpi, made on first use and kept until the program ends. None also
// when no such font can be made.
HFONT ControlFontForDpi(uint32_t dpi);

// Follows a toolkit dialog to a screen of another DPI (EventDpiChanged):
// moves its frame to the suggested one (screen coordinates) and places every
// control of the list at its layout rectangle scaled to dpi, in that DPI's
// font. False when the window is none.
bool FollowDpiChange(HWND window, const GrowArray& controls, uint32_t dpi, const Rect& suggestedFrame);

// The keyboard in a toolkit dialog. The dialog manager (the message loop's
// IsDialogMessageA) moves the focus with Tab and Shift+Tab among the controls
// with a tab stop, in the order they were created, presses the focused button
// with Space, and sends Enter as the command of the default button.

// Gives control the focus as the dialog manager does (a push button becomes
// the default one while it has it), with the focus cue hidden until the
// keyboard is used: the dialog manager shows it on the first Tab or arrow
// key. False when the window or the control is none.
bool FocusControl(HWND dialog, const Control* control);
// Gives fallback the focus when the dialog is the active window and the focus
// is nowhere or on one of its controls that is disabled (which takes no key):
// the dialog manager puts it back on the control that had it before a box
// or another window came up, even when that control was disabled meanwhile.
// True when it moved the focus.
bool RecoverFocus(HWND dialog, const Control* fallback);
// Makes the button with id the one Enter presses when no other push button
// has the focus. False when the window is none.
bool SetDefaultButton(HWND dialog, int32_t id);

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

// A read-only text of several lines ("\r\n" between them) in a fixed-pitch
// font, which a person can select and copy: "EDIT" with ES_MULTILINE,
// ES_READONLY, ES_NOHIDESEL and ES_AUTOHSCROLL (lines are never wrapped),
// child, visible, border, tab stop; with scrollBars both scroll bars and
// ES_AUTOVSCROLL too.
constexpr uint32_t TextViewStyle = 0x50810984u;
constexpr uint32_t ScrollingTextViewStyle = 0x50B109C4u;
class TextView : public Control {
 public:
  TextView(HWND parent, int32_t id, const Rect& rect, const char* text, bool scrollBars);
  ~TextView() override;
  // Keeps the fixed-pitch font, scaled to dpi.
  bool FollowDpi(uint32_t dpi) override;
};
// One character cell of the text views' font in 96-DPI layout pixels: the
// width of "X" and the height of a line. False when it cannot be measured.
bool FixedFontCell(int32_t* width, int32_t* height);

// A dialog's control list: a GrowArray of control pointers (one pointer's
// size each: 4 bytes in the 32-bit program, 8 in a 64-bit build), set up with InitGrowArray (ControlListElementSize,
// 0, 0, 0, zero fill) and handed to the window manager as the window's user
// data, so that the closing handler can destroy the controls.

constexpr int32_t ControlListElementSize = sizeof(Control*);

// Appends control, or none for a control whose memory could not be had (the
// slot then stays empty). False when the list cannot grow.
bool AppendControl(GrowArray& list, Control* control);
// The control at index, or none for an empty slot or an index past the end.
Control* ControlAt(const GrowArray& list, uint32_t index);
// Destroys every control object of the list (their windows stay on the
// dialog) and clears each slot; the count stays.
void DestroyControls(GrowArray& list);
// The first control of the list with id, or none (also once the controls
// are destroyed).
Control* ControlWithId(const GrowArray& list, int32_t id);

// A list box control that keeps its own items and selection. Default styles
// (a non-zero style argument replaces them whole):
//   extended selection  0x50B10901  child, visible, border, both scroll bars, tab stop,
//                                   LBS_EXTENDEDSEL, LBS_NOINTEGRALHEIGHT, LBS_NOTIFY
//   single selection    0x50B10101  the same without LBS_EXTENDEDSEL
// Every operation is false when the control is not valid.

constexpr uint32_t ExtendedListBoxStyle = 0x50B10901u;
constexpr uint32_t SingleListBoxStyle = 0x50B10101u;

class ListBox : public Control {
 public:
  // wideText: the list keeps its lines in wide characters, so that
  // AddItemWide shows names the ANSI code page cannot hold.
  ListBox(HWND parent, int32_t id, const Rect& rect, uint8_t extendedSelection, uint32_t style,
          bool wideText = false);
  ~ListBox() override;

  // Deselects every item; true.
  bool ClearSelection();
  bool Count(int32_t* count);
  // Asks the list box; a single-selection box cannot tell, so its items are
  // counted instead.
  bool SelectedCount(int32_t* count);
  bool ItemTextLength(int32_t index, int32_t* length);
  // Copies the item's text into buffer, which holds capacity + 1 bytes;
  // fails without writing when the text is longer than capacity.
  bool ItemText(int32_t index, char* buffer, uint32_t capacity);
  // Writes the current selection's index whatever it is; true when that item
  // is selected.
  bool CurrentSelection(int32_t* index);
  bool Select(int32_t index);
  bool IsSelected(int32_t index);
  bool DeleteItem(int32_t index);
  bool InsertItem(int32_t index, const char* text);
  bool AddItem(const char* text);
  // A line of wide characters: shown as it is in a list made with wideText.
  bool AddItemWide(const wchar_t* text);
  // Lets the list scroll sideways over characters widths of "X" in its font.
  bool SetHorizontalExtentChars(int32_t characters);

  // Filling many lines at once: BeginFill reserves room for items lines of
  // about bytes characters in all and stops the list from redrawing after
  // each line; EndFill lets it redraw and repaints it once.
  bool BeginFill(int32_t items, uint32_t bytes);
  bool EndFill();

  // Also measures the sideways extent again in the new font.
  bool FollowDpi(uint32_t dpi) override;

 private:
  int32_t extentChars_ = 0;  // as last set by SetHorizontalExtentChars; 0: none
};
