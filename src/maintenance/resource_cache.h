#pragma once
// The removal of the player's resource cache, the folder "Resources"
// (ResourceCacheFolderName) in its component folder, for the main window's
// command and the option that remove it.

#include "foundation/core/paths.h"

enum class CacheOutcome {
  Removed,     // the cache folder is gone with everything in it
  NotRemoved,  // the removal failed; what was removed stays removed
  NotFound,    // there is no cache folder ("Resources" is missing or a file)
};

// Removes the "Resources" folder of componentFolder with its whole contents,
// without questions and not to the recycle bin.
CacheOutcome RemoveResourceCache(FixedPath componentFolder);
