#pragma once
// The main window's commands that belong to no other operation's unit: the
// component listing, the update-check box and the public-beta box. Each
// shows its boxes with owner as their owner.

#include <windows.h>

#include "toolkit/grow_array.h"

// The boxes of the public-beta command when the registry value could not be
// stored or removed.
constexpr const char* RegistryErrorCaption = "Registry Error";
constexpr const char* BetaValueNotAddedText = "Unable to add reg key for Downloading";
constexpr const char* BetaValueNotRemovedText = "Unable to remove reg key for Downloading";

// Shows the installed-components window over owner; "not registered"
// without a component folder.
void RunListComponentsCommand(HWND owner);

// Stores the new state of the "Check for Updates" box of controls; without a
// component folder says "not registered" and clears the box again, when it
// is still there once the box is closed.
void RunCheckForUpdatesCommand(HWND owner, const GrowArray& controls);

// Joins the public beta when the "Participate QLX Public Beta" box of
// controls is checked (the beta site in the registry, the built-in beta site
// in the download-site list), and leaves it when it is not.
void RunPublicBetaCommand(HWND owner, const GrowArray& controls);
