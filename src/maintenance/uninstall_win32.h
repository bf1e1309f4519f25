#pragma once
// Removing the Corvalent Media Player: its ActiveX registrations, its
// Netscape plug-in, its component folder, the install root above it when that
// holds no file, and its registry keys; and the check of what is left.
//
// The install root is the folder that holds the component folder. The
// component folder may not be a protected folder (a volume root, the Windows
// folder or a folder in it, a shared folder such as "Program Files", see
// IsProtectedFolder): a damaged or hostile "Component Path" must never wipe a
// drive, the system, or what other programs and users own. A protected
// install root ("C:\", "C:\Program Files (x86)") is simply kept.

#include <windows.h>

#include <cstdint>

#include "foundation/core/paths.h"

// Removes the player installed in componentFolder. Boxes about libraries that
// cannot be loaded or released are owned by owner (none in option mode).
// False at once, with nothing changed, when componentFolder is not an
// existing folder or is a protected folder. Otherwise every step runs, and
// the result is true when every step succeeded. When the component folder
// cannot be removed, the install root and the player's registry keys stay,
// so that the uninstall can be run again once its files are free.
bool UninstallPlayer(HWND owner, FixedPath componentFolder);

// What an uninstall left behind (the codes of uninstall.h), checked in
// this order: the component folder, an install root without files (unless
// it is a protected folder, which is kept on purpose), the technology key.
// componentFolder is changed to the install root once the component folder
// is found gone.
int32_t VerifyUninstall(FixedPath& componentFolder);

// Uninstalls the player in componentFolder, with owner as the owner of its
// boxes, and checks what is left: the outcome (UninstallOutcome). The caller
// holds the settings lock (settings_lock.h).
int32_t UninstallAndVerify(HWND owner, FixedPath& componentFolder);

// The uninstall as the option "-u" runs it: the component folder from the
// registry, the uninstall, the check, and the outcome as a code (the main
// window's command shows it in a box).

// The result code of "-u" when there is no component folder.
constexpr int32_t NoPlayerCode = 1;

// Uninstalls without an owner window and returns the outcome
// (UninstallOutcome), or NoPlayerCode when no component folder exists. Both
// uninstalls hold the settings lock (settings_lock.h) and report
// UninstallStepFailed, changing nothing, when it could not be taken.
int32_t RunUninstallOption();

