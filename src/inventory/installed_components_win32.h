#pragma once
// The installed-components window itself (its lines and order are in
// installed_components.h).

#include <windows.h>

#include <cstdint>

#include "foundation/core/paths.h"

// Shows the window for the files ComponentFiles holds (sorting them in place)
// and the update version list of componentFolder, modal over owner (none: no
// owner), and returns 0 once it is closed, or at once when it cannot be
// created. The owner is disabled meanwhile and enabled again afterwards.
int32_t ShowInstalledComponents(HWND owner, const FixedPath& componentFolder);
