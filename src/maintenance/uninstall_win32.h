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
#include <string>
#include <vector>

#include "foundation/core/paths.h"

// An uninstall that finishes at the next restart what it cannot remove now
// (a file in use): "-u" with the standard codes.
struct RestartRemoval {
  // The player's paths scheduled for removal at restart, UTF-8 by their
  // true names, in the order the system removes them.
  std::vector<std::string> scheduled;
  // Every step succeeded, what is scheduled counted as removed.
  bool finished = false;
};

// Removes the player installed in componentFolder. Boxes about libraries that
// cannot be loaded or released are owned by owner (none in option mode).
// False at once, with nothing changed, when componentFolder is not an
// existing folder or is a protected folder. Otherwise every step runs, and
// the result is true when every step succeeded. When the component folder
// cannot be removed, the install root and the player's registry keys stay,
// so that the uninstall can be run again once its files are free.
//
// With restart, what of the component folder, the install root and the
// plug-in files cannot be removed now is scheduled for removal at the next
// restart (RemoveTreeNowOrAtRestart: nothing outside the player, nothing
// without an administrator's rights), and once all of the component folder
// is removed or scheduled, the player's keys go: restart says what was
// scheduled and whether every step succeeded so.
bool UninstallPlayer(HWND owner, FixedPath componentFolder, RestartRemoval* restart = nullptr);

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
// UninstallStepFailed, changing nothing, when it could not be taken. With
// restart, the uninstall finishes at the next restart (UninstallPlayer); the
// outcome's code stays the check's (ComponentFolderLeft while the component
// folder waits for the restart).
int32_t RunUninstallOption(RestartRemoval* restart = nullptr);

