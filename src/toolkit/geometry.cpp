#include "toolkit/geometry.h"

Rect NormalizedRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Rect rect;
  rect.left = x1 < x2 ? x1 : x2;
  rect.right = x1 < x2 ? x2 : x1;
  rect.top = y1 < y2 ? y1 : y2;
  rect.bottom = y1 < y2 ? y2 : y1;
  return rect;
}

Rect RectMovedTo(const Rect& rect, Point topLeft) {
  return Rect{topLeft.x, topLeft.y, topLeft.x + RectWidth(rect), topLeft.y + RectHeight(rect)};
}

Rect CenteredFrame(const Rect& frame, const Rect& area) {
  int32_t width = RectWidth(frame);
  int32_t height = RectHeight(frame);
  int32_t left = area.left + RectWidth(area) / 2 - width / 2;
  int32_t top = area.top + RectHeight(area) / 2 - height / 2;
  return Rect{left, top, left + width, top + height};
}

Rect FrameForClientSize(const Rect& frame, int32_t width, int32_t height, const Rect& extra) {
  return Rect{frame.left, frame.top, frame.left + width + RectWidth(extra),
              frame.top + height + RectHeight(extra)};
}

Insets InsetsBetween(const Rect& client, const Rect& frame) {
  return Insets{client.left - frame.left, client.top - frame.top, frame.right - client.right,
                frame.bottom - client.bottom};
}

Rect ShrunkByInsets(const Rect& frame, const Insets& insets) {
  return Rect{frame.left + insets.left, frame.top + insets.top, frame.right - insets.right,
              frame.bottom - insets.bottom};
}

Rect GrownByInsets(const Rect& client, const Insets& insets) {
  return Rect{client.left - insets.left, client.top - insets.top, client.right + insets.right,
              client.bottom + insets.bottom};
}
