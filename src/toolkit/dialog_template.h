#pragma once
// The in-memory dialog template from which every toolkit window is created.
// The program has no dialog resources: the template carries only a frame
// style, chosen by a DialogKind, and no controls, no menu, no title, the
// system dialog class and the system font. Controls are added afterwards as
// child windows, and the window is placed and sized in pixels once it exists.
//
// The block is read by the system as a DLGTEMPLATE followed by its three
// variable fields: bytes 0-3 style, 4-7 extended style, 8-9 item count,
// 10-17 x, y, cx, cy, 18-19 menu, 20-21 class, 22-23 title, 24-57 zero.

#include <cstdint>

// Selects the frame of a toolkit dialog. Every kind is a popup that clips its
// siblings and children; none is visible when created.
typedef uint32_t DialogKind;

enum : DialogKind {
  DialogKindPlain = 0,              // popup without border
  DialogKindBordered = 1,           // plus a thin border
  DialogKindCaptioned = 2,          // title bar without system menu or close box
  DialogKindResizable = 3,          // caption and sizing frame
  DialogKindSystemMenu = 4,         // caption, system menu, minimise and maximise boxes; fixed size
  DialogKindSystemMenuSizable = 5,  // as 4 with a sizing frame
  DialogKindScrolling = 6,          // as 5 with a vertical scroll bar
};

constexpr uint32_t DialogTemplateBytes = 58;

// The window style of a kind; 0 (no style bits) for a kind above 6, which is
// not refused.
uint32_t DialogKindStyle(DialogKind kind);

// A zero-filled template block from ToolkitAlloc with the style of kind in
// its first four bytes, or none when memory runs out. Released with
// ToolkitFree.
void* NewDialogTemplate(DialogKind kind);
