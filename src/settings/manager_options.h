#pragma once
// The component manager's options: the file "QuillframeConfig.ini" in the
// component folder, which the component manager (a separate program) reads.
// The control panel changes two keys of its section "ComponentMgrOptions":
// whether the component manager checks for updates, and the time of its last
// check. Both are changed only when they are already in the file.

#include <cstdint>

constexpr const char* ManagerOptionsFileName = "QuillframeConfig.ini";
constexpr const char* ManagerOptionsSectionName = "ComponentMgrOptions";
constexpr const char* CheckForUpdatesKey = "CheckForUpdates";
constexpr const char* LastUpdateCheckTimeKey = "LastUpdateCheckTime";
// The values of "CheckForUpdates", and "LastUpdateCheckTime" after a reset.
constexpr const char* OptionOnValue = "1";
constexpr const char* OptionOffValue = "0";
// The buffer the options are read into; their values are "0" and "1".
constexpr uint32_t OptionValueBufferBytes = 12;

// Sets key of "ComponentMgrOptions" in the component folder's
// "QuillframeConfig.ini" to value. True when there is no component folder
// (nothing to change) or the value was written; false when the settings lock
// (settings_lock.h) could not be taken, or the file is missing or
// unreadable, lacks the key, or could not be written.
bool SetManagerOption(const char* key, const char* value);

// "-cu+" and "-cu": "CheckForUpdates" = "1" or "0".
bool SetUpdateCheck(bool on);
// "-lu": "LastUpdateCheckTime" = time, stored as given.
bool SetLastUpdateCheckTime(const char* time);

// The window half: the main window's "Check for Updates" and "Participate
// QLX Public Beta" boxes mirror the stored options, and the controls that
// need an installed player are enabled only while the component folder
// exists.

class Control;
struct GrowArray;

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
// "CheckForUpdates" (checked when the file, the key or its value is missing,
// or the number's low byte is not 0), enables the controls that need the
// player exactly while the component folder exists, and clears the mark.
void LoadManagerOptions();

// When the mark is set and the component folder exists: clears the mark and
// stores the update box's state as "CheckForUpdates", with
// "LastUpdateCheckTime" reset to "0". A missing file, or one without the
// section or the key, is made anew with just those two keys; a file that
// exists but cannot be read whole or written is left as it was, the box goes
// back to what the file holds, a box says so, and the result is false.
bool ApplyManagerOptions();
