#include "maintenance/resource_cache.h"

#include "foundation/tree_removal.h"
#include "maintenance/installation_locations.h"

CacheOutcome RemoveResourceCache(FixedPath componentFolder) {
  if (componentFolder.AppendName(ResourceCacheFolderName) != StatusOk || !componentFolder.IsFolder())
    return CacheOutcome::NotFound;
  componentFolder.AppendName("");
  return RemoveTree(componentFolder, true, true) == StatusOk ? CacheOutcome::Removed : CacheOutcome::NotRemoved;
}

bool ReadDisplayedInstallPath(FixedPath& shown) { return ReadComponentPath(shown); }
