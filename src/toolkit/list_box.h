#pragma once
// A list box control that keeps its own items and selection. Default styles
// (a non-zero style argument replaces them whole):
//   extended selection  0x50B10901  child, visible, border, both scroll bars, tab stop,
//                                   LBS_EXTENDEDSEL, LBS_NOINTEGRALHEIGHT, LBS_NOTIFY
//   single selection    0x50B10101  the same without LBS_EXTENDEDSEL
// Every operation is false when the control is not valid.

#include "toolkit/control.h"

constexpr uint32_t ExtendedListBoxStyle = 0x50B10901u;
constexpr uint32_t SingleListBoxStyle = 0x50B10101u;

class ListBox : public Control {
 public:
  ListBox(HWND parent, int32_t id, const Rect& rect, uint8_t extendedSelection, uint32_t style);
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
  // Lets the list scroll sideways over characters widths of "X" in its font.
  bool SetHorizontalExtentChars(int32_t characters);

  // Filling many lines at once: BeginFill reserves room for items lines of
  // about bytes characters in all and stops the list from redrawing after
  // each line; EndFill lets it redraw and repaints it once.
  bool BeginFill(int32_t items, uint32_t bytes);
  bool EndFill();
};
