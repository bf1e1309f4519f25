#pragma once
// The player's resource cache, the folder "Resources" in its component
// folder, and the main window's commands that remove it and show the install
// path.

#include <windows.h>

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

// The texts of the cache command's box.
constexpr const char* CacheCommandCaption = "Delete";
constexpr const char* CacheRemovedText = "Resource folder deleted sucessfully.";
constexpr const char* CacheNotRemovedText = "Resource folder could not be deleted.";
constexpr const char* CacheNotFoundText = "Resource folder not found";
constexpr const char* InstallPathCaption = "Install Path";

// Removes the cache without asking and says how it went, in a box owned by
// owner; "not registered" without a component folder.
void RunCacheCommand(HWND owner);

// Shows the stored "Component Path" whole, as "-ip" prints it; "not
// registered" without a component folder.
void RunInstallPathCommand(HWND owner);
