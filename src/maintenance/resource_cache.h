#pragma once
// The player's resource cache, the folder "Resources" in its component
// folder, and the install path as the main window shows it.

#include "foundation/fixed_path.h"

constexpr const char* ResourceCacheFolderName = "Resources";

enum class CacheOutcome {
  Removed,     // the cache folder is gone with everything in it
  NotRemoved,  // the removal failed; what was removed stays removed
  NotFound,    // there is no cache folder ("Resources" is missing or a file)
};

// Removes the "Resources" folder of componentFolder with its whole contents,
// without questions and not to the recycle bin.
CacheOutcome RemoveResourceCache(FixedPath componentFolder);

// The install path the window shows: the stored "Component Path", at most
// 256 characters of it. False when no component folder exists; the window
// then says that the player is not registered.
bool ReadDisplayedInstallPath(FixedPath& shown);
