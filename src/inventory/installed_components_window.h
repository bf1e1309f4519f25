#pragma once
// The installed-components window: every collected component file with its
// product version on the left, every fragment of the player's update version
// list with its version on the right. Modal over the main window.

#include <cstdint>

#include "foundation/fixed_path.h"

constexpr const char* InstalledComponentsTitle = "Installed Components";
constexpr const char* InstalledComponentsHeading = "\t\t\tINSTALLED COMPONENTS";
constexpr const char* VersionFileHeading = "\t\t\tVERSION FILE";
// Every control of the window has this id.
constexpr int32_t InstalledComponentsControlId = 600;

// Shows the window for the files ComponentFiles holds (sorting them in place)
// and the update version list of componentFolder, and returns 0 once it is
// closed, or at once when it cannot be created. The main window, when there
// is one, is disabled meanwhile and enabled again afterwards.
int32_t ShowInstalledComponents(const FixedPath& componentFolder);
