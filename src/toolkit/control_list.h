#pragma once
// A dialog's control list: a GrowArray of control pointers (4 bytes each in
// this 32-bit program), set up with InitGrowArray (ControlListElementSize,
// 0, 0, 0, zero fill) and handed to the window manager as the window's user
// data, so that the closing handler can destroy the controls.

#include <cstdint>

#include "toolkit/control.h"
#include "toolkit/grow_array.h"

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
