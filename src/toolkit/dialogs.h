#pragma once
// Dialogs, the portable part: points and rectangles, the in-memory dialog
// templates, and which command of a control class is a double click.

#include <cstdint>

// Rectangles and points in pixels, and the arithmetic that places and sizes
// the toolkit's windows. Nothing here touches a window; the window operations
// (dialogs_win32.h) read rectangles from the system and apply the results.

// Left, top, right, bottom; right and bottom are exclusive. Every rectangle the
// toolkit hands out is normalised: left <= right, top <= bottom.
struct Rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct Point {
  int32_t x;
  int32_t y;
};

// The widths of a window's frame on each side of its client area.
struct Insets {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

inline int32_t RectWidth(const Rect& rect) { return rect.right - rect.left; }
inline int32_t RectHeight(const Rect& rect) { return rect.bottom - rect.top; }

// The rectangle spanned by two corners given in any order.
Rect NormalizedRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The same rectangle shifted so that its top-left corner is at topLeft.
Rect RectMovedTo(const Rect& rect, Point topLeft);

// Where a frame goes to be centred over area (another window's frame, or the
// screen): left = area.left + width(area) / 2 - width(frame) / 2, the same for
// top. Each division truncates toward zero on its own.
Rect CenteredFrame(const Rect& frame, const Rect& area);

// The frame that keeps frame's top-left corner and holds a client area of
// width x height, given the frame's extra size as AdjustWindowRectEx grows an
// all-zero rectangle (its left and top are minus the frame widths).
Rect FrameForClientSize(const Rect& frame, int32_t width, int32_t height, const Rect& extra);

// Frame widths from the client and frame rectangles in the same coordinates.
Insets InsetsBetween(const Rect& client, const Rect& frame);

// A frame rectangle moved inward by the frame widths: its client area.
Rect ShrunkByInsets(const Rect& frame, const Insets& insets);
// A client rectangle moved outward by the frame widths: its frame.
Rect GrownByInsets(const Rect& client, const Insets& insets);

// Screen scaling. Every window is laid out in the pixels of a 96-DPI screen
// and scaled to the DPI of the screen it is on: each coordinate is multiplied
// by dpi / 96 and rounded to the nearest pixel (halves away from zero), the
// way MulDiv rounds. A rectangle's edges are scaled one by one, so that
// controls that touch or keep apart at 96 DPI still do at any DPI. A DPI of
// 0 (the system could not tell) counts as 96. ScaledPixels also scales
// between two other DPIs (fromDpi to dpi), with the same rounding.
constexpr uint32_t LayoutDpi = 96;
int32_t ScaledPixels(int32_t pixels, uint32_t dpi, uint32_t fromDpi = LayoutDpi);
Rect ScaledRect(const Rect& rect, uint32_t dpi);

// The in-memory dialog template from which every toolkit window is created.
// The program has no dialog resources: the template carries only a frame
// style, chosen by a DialogKind, and no controls, no menu, no title, the
// system dialog class and the system font. Controls are added afterwards as
// child windows, and the window is placed and sized in pixels once it exists.
//
// The block is read by the system as a DLGTEMPLATE followed by its three
// variable fields: bytes 0-3 style, 4-7 extended style, 8-9 item count,
// 10-17 x, y, cx, cy, 18-19 menu, 20-21 class, 22-23 title, 24-57 zero.

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

// Whether a command from a control is that control's double-click
// notification. The notification code that means a double click depends on
// the control's window class, compared without regard to case: "BUTTON" 5
// (BN_DOUBLECLICKED), "COMBOBOX" 2 (CBN_DBLCLK), "LISTBOX" 2 (LBN_DBLCLK),
// "STATIC" 1 (STN_DBLCLK). Any other class, or none (a menu or accelerator
// command), never is.

// The longest class name looked at; the system gives at most this many
// characters into a buffer one byte larger.
constexpr uint32_t ClassNameCharacters = 255;

bool IsDoubleClickCommand(const char* className, uint32_t notificationCode);
