#include "toolkit/dialogs.h"

#include <cstring>

#include "foundation/core/strings.h"
#include "toolkit/memory.h"

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

int32_t ScaledPixels(int32_t pixels, uint32_t dpi, uint32_t fromDpi) {
  if (dpi == 0) dpi = LayoutDpi;
  if (fromDpi == 0) fromDpi = LayoutDpi;
  if (dpi == fromDpi) return pixels;
  const int64_t product = static_cast<int64_t>(pixels) * dpi;
  const int64_t divisor = fromDpi;
  const int64_t rounded = product >= 0 ? (product + divisor / 2) / divisor : -((-product + divisor / 2) / divisor);
  return static_cast<int32_t>(rounded);
}

Rect ScaledRect(const Rect& rect, uint32_t dpi) {
  return Rect{ScaledPixels(rect.left, dpi), ScaledPixels(rect.top, dpi), ScaledPixels(rect.right, dpi),
              ScaledPixels(rect.bottom, dpi)};
}

namespace {

// WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN with the frame bits of each kind.
constexpr uint32_t KindStyles[] = {
    0x86000000u,  // popup
    0x86800000u,  // + WS_BORDER
    0x86C00000u,  // + WS_CAPTION
    0x86C40000u,  // + WS_CAPTION, WS_THICKFRAME
    0x86CB0000u,  // + WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX
    0x86CF0000u,  // as above + WS_THICKFRAME
    0x86EF0000u,  // as above + WS_VSCROLL
};

constexpr uint32_t KindCount = sizeof KindStyles / sizeof KindStyles[0];

}  // namespace

uint32_t DialogKindStyle(DialogKind kind) { return kind < KindCount ? KindStyles[kind] : 0; }

void* NewDialogTemplate(DialogKind kind) {
  void* block = ToolkitAlloc(DialogTemplateBytes, true);
  if (!block) return nullptr;
  uint32_t style = DialogKindStyle(kind);
  memcpy(block, &style, sizeof style);  // little-endian, as the system reads it
  return block;
}

namespace {

struct DoubleClickCode {
  const char* className;
  uint32_t notificationCode;
};

// Tried in this order.
constexpr DoubleClickCode DoubleClickCodes[] = {
    {"BUTTON", 5},
    {"COMBOBOX", 2},
    {"LISTBOX", 2},
    {"STATIC", 1},
};

}  // namespace

bool IsDoubleClickCommand(const char* className, uint32_t notificationCode) {
  if (!className || !*className) return false;
  for (const DoubleClickCode& code : DoubleClickCodes) {
    if (EqualIgnoringCase(className, code.className)) return notificationCode == code.notificationCode;
  }
  return false;
}
