#include "maintenance/resource_cache.h"

#include "foundation/heap_string.h"
#include "foundation/tree_removal.h"
#include "maintenance/installation_locations.h"
#include "shell/message_boxes.h"

CacheOutcome RemoveResourceCache(FixedPath componentFolder) {
  if (componentFolder.AppendName(ResourceCacheFolderName) != StatusOk || !componentFolder.IsFolder())
    return CacheOutcome::NotFound;
  componentFolder.AppendName("");
  return RemoveTree(componentFolder, true, true) == StatusOk ? CacheOutcome::Removed : CacheOutcome::NotRemoved;
}

void RunCacheCommand(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) {
    ShowNotRegistered(owner);
    return;
  }
  const char* text = CacheNotFoundText;
  switch (RemoveResourceCache(componentFolder)) {
    case CacheOutcome::Removed: text = CacheRemovedText; break;
    case CacheOutcome::NotRemoved: text = CacheNotRemovedText; break;
    case CacheOutcome::NotFound: break;
  }
  ShowInfo(owner, CacheCommandCaption, text);
}

void RunInstallPathCommand(HWND owner) {
  FixedPath componentFolder;
  String value;
  if (!ReadComponentPath(componentFolder, &value)) {
    ShowNotRegistered(owner);
    return;
  }
  ShowInfo(owner, InstallPathCaption, value.TextOrEmpty());
}
