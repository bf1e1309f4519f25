#pragma once
// Collecting the player's component files into ComponentFiles: the libraries
// of the component folder and of its subfolders "Components",
// "NewComponents" and "Plugins" (not of their subfolders), then the player's
// files anywhere below the current Netscape Navigator's plug-ins folder.

#include "foundation/fixed_path.h"

constexpr const char* ComponentsFolderName = "Components";
constexpr const char* NewComponentsFolderName = "NewComponents";
constexpr const char* PluginsFolderName = "Plugins";

// Appends to ComponentFiles, in the order of the five scans, the component
// files found. A folder that cannot be walked adds nothing and the scans
// after it still run. ComponentFiles is not emptied first.
void CollectComponentFiles(const FixedPath& componentFolder);

// Appends every file of folder (not of its subfolders) whose extension equals
// extension (SharedLibraryExtension for the scans) without regard to case,
// from the last file found to the first. A file that does not fit in
// ComponentFiles is left out.
void AddLibrariesInFolder(const FixedPath& folder, const char* extension);

// The current Navigator's plug-ins folder, ending in a backslash: the value
// "Plugins Directory" of the key named by Navigator's "CurrentVersion" and
// "Main". False when a key or value is missing or empty, or the folder's
// text is longer than a path holds.
bool ReadNavigatorPluginsFolder(FixedPath& folder);

// Appends the player's files (IsPlayerPluginFileName) found anywhere below
// the current Navigator's plug-ins folder; nothing when it has none.
void AddNavigatorPluginFiles();
