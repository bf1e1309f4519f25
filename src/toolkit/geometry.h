#pragma once
// Rectangles and points in pixels, and the arithmetic that places and sizes
// the toolkit's windows. Nothing here touches a window; the window operations
// (window_geometry.h) read rectangles from the system and apply the results.

#include <cstdint>

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
