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

#include "foundation/fixed_path.h"

// Removes the player installed in componentFolder. Boxes about libraries that
// cannot be loaded or released are owned by owner (none in option mode).
// False at once, with nothing changed, when componentFolder is not an
// existing folder or is a protected folder. Otherwise every step runs, and
// the result is true when every step succeeded. When the component folder
// cannot be removed, the install root and the player's registry keys stay,
// so that the uninstall can be run again once its files are free.
bool UninstallPlayer(HWND owner, FixedPath componentFolder);

// True when folder exists and its tree holds nothing but folders: no file and
// no link of any kind, whatever their names and the length of their paths.
// What the walk cannot see counts as content: a folder that cannot be listed
// whole makes the answer false.
bool FolderIsEmpty(const FixedPath& folder);

// What an uninstall left behind (the codes of uninstall_outcome.h), checked in
// this order: the component folder, an install root without files (unless
// it is a protected folder, which is kept on purpose), the technology key.
// componentFolder is changed to the install root once the component folder
// is found gone.
int32_t VerifyUninstall(FixedPath& componentFolder);
