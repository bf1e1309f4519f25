#include "toolkit/dialog_template.h"

#include <cstring>

#include "toolkit/memory.h"

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
