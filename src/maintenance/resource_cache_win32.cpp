#include "maintenance/resource_cache.h"

#include "foundation/core/status.h"
#include "foundation/trees/tree_removal.h"
#include "installation/installation.h"

CacheOutcome RemoveResourceCache(FixedPath componentFolder) {
  if (componentFolder.AppendName(ResourceCacheFolderName) != StatusOk || !componentFolder.IsFolder())
    return CacheOutcome::NotFound;
  componentFolder.AppendName("");
  return RemoveTree(componentFolder, true, true) == StatusOk ? CacheOutcome::Removed : CacheOutcome::NotRemoved;
}
