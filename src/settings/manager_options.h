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

// Sets key of the options' section in the component folder's options file
// to value. True when there is no component folder
// (nothing to change) or the value was written; false when the settings lock
// (settings_lock.h) could not be taken, or the file is missing or
// unreadable, lacks the key, or could not be written.
bool SetManagerOption(const char* key, const char* value);

// "-cu+" and "-cu": "CheckForUpdates" = "1" or "0".
bool SetUpdateCheck(bool on);
// "-lu": "LastUpdateCheckTime" = time, stored as given.
bool SetLastUpdateCheckTime(const char* time);

// What the main window's "Check for Updates" box shows and stores.

struct FixedPath;

// Whether the box shows checked for the options file of componentFolder:
// checked when the file, the key or its value is missing, or the number's
// low byte is not 0.
bool StoredUpdateCheck(const FixedPath& componentFolder);

// Stores on as "CheckForUpdates" in the options file of componentFolder,
// with "LastUpdateCheckTime" reset to "0", in one rewrite under the settings
// lock that changes only those two values: every other line of the file
// stays as it was. A key that is missing is added at the end of the section
// (with the time, when that is missing too), a missing section at the end of
// the file; a missing file is made with just the section and the two keys.
// False, with the file left as it was, when the lock cannot be had or a file
// that exists cannot be read whole or written.
bool SaveUpdateCheck(const FixedPath& componentFolder, bool on);
