#pragma once
// The main window's commands, one for each of its controls, each showing its
// boxes (and the installed-components window) with owner as their owner; and
// the options the window shows: the "Check for Updates" and "Participate QLX
// Public Beta" boxes mirror the stored options, and the controls that need an
// installed player are enabled only while the component folder exists.

#include <windows.h>

#include "toolkit/controls_win32.h"
#include "toolkit/grow_array.h"

// The command ids the controls report.
enum : int32_t {
  InstallPathCommandId = 0,
  UninstallCommandId = 2,
  OkCommandId = 4,
  CacheCommandId = 8,
  ListComponentsCommandId = 9,
  CheckForUpdatesCommandId = 11,
  PublicBetaCommandId = 13,
};

// The report of every command that needs an installed player.
constexpr const char* NotRegisteredCaption = "Install Path";
constexpr const char* NotRegisteredText = "Corvalent Media Player not registered.";

// ShowInfo (owner, NotRegisteredCaption, NotRegisteredText).
void ShowNotRegistered(HWND owner);

// The texts of the cache command's box.
constexpr const char* CacheCommandCaption = "Delete";
constexpr const char* CacheRemovedText = "Resource folder deleted sucessfully.";
constexpr const char* CacheNotRemovedText = "Resource folder could not be deleted.";
constexpr const char* CacheNotFoundText = "Resource folder not found";
constexpr const char* InstallPathCaption = "Install Path";

// Removes the cache without asking and says how it went; "not registered"
// without a component folder.
void RunCacheCommand(HWND owner);

// Shows the stored "Component Path" whole, as "-ip" prints it; "not
// registered" without a component folder.
void RunInstallPathCommand(HWND owner);

// Says "not registered" without a component folder; otherwise asks first (No
// is the default answer) and, when the answer is Yes, uninstalls and shows
// the outcome's box. The caller refreshes its controls afterwards in every
// case.
void RunUninstallCommand(HWND owner);

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

// The caption and text of the box that says a toggle could not be stored.
constexpr const char* CheckForUpdatesCaption = "Check for Updates";
constexpr const char* OptionNotSavedText =
    "The update check setting could not be saved.\n(The settings file is in use or cannot be written.)";

// The main window's controls that the options are shown in: its control list
// and its two boxes. The main window hands them over once they exist and
// takes them back (DetachOptionControls) before it destroys them; until
// then, and afterwards, the operations below leave the window alone.
void AttachOptionControls(GrowArray* controls, Control* checkForUpdates, Control* publicBeta);
void DetachOptionControls();

// The options-changed mark: set when the "Check for Updates" box was toggled
// with a player installed, cleared by LoadManagerOptions and
// ApplyManagerOptions.
void MarkOptionsChanged();

// Sets the beta box from "Additional Download URL", the update box from
// "CheckForUpdates" (StoredUpdateCheck), enables every control but "Ok" and
// the beta box exactly while the component folder exists, and clears the
// mark.
void LoadManagerOptions();

// When the mark is set and the component folder exists: clears the mark and
// stores the update box's state (SaveUpdateCheck). When that fails the box
// goes back to what the file holds, a box owned by owner says so, and the
// result is false.
bool ApplyManagerOptions(HWND owner);
