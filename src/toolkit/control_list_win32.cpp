#include "toolkit/control_list.h"

static_assert(sizeof(Control*) == 4, "control lists hold 32-bit pointers");

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
