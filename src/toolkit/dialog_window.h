#pragma once
// Creating a toolkit dialog: a modeless system dialog built from the
// in-memory template of its kind (dialog_template.h), with the toolkit's
// dialog procedure, hidden until its owner shows it. It comes alive for its
// owner once it is registered with the window manager.

#include <windows.h>

#include <cstdint>

#include "toolkit/dialog_template.h"

// x and y place the frame's top-left corner (screen coordinates for a
// top-level window); width and height are the client area's size in pixels.
// The instance handle comes from the module table's program entry. None when
// the template cannot be built or the system refuses the dialog.
HWND CreateToolkitDialog(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                         DialogKind kind);
