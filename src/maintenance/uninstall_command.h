#pragma once
// The uninstall as the option "-u" and the main window's uninstall button
// run it: the component folder from the registry, the uninstall, the check,
// and the outcome as a code (option) or a box (window).

#include <windows.h>

#include <cstdint>

// The result code of "-u" when there is no component folder.
constexpr int32_t NoPlayerCode = 1;

// Uninstalls without an owner window and returns the outcome
// (UninstallOutcome), or NoPlayerCode when no component folder exists. Both
// uninstalls hold the settings lock (settings_lock.h) and report
// UninstallStepFailed, changing nothing, when it could not be taken.
int32_t RunUninstallOption();

// The window's uninstall command, with owner as the owner of its boxes: says
// "not registered" without a component folder; otherwise asks first (No is
// the default answer) and, when the answer is Yes, uninstalls and shows the
// outcome's box. The caller
// refreshes its controls afterwards in every case.
void RunUninstallCommand(HWND owner);
