#include "inventory/component_inventory.h"

#include "foundation/product_version.h"
#include "foundation/profile_document.h"
#include "foundation/profile_file.h"
#include "inventory/component_collection.h"
#include "inventory/component_files.h"
#include "inventory/installed_components_window.h"
#include "inventory/version_verification.h"

int32_t InventoryComponents(const FixedPath& componentFolder, const FixedPath* versionList) {
  ComponentFiles.ClearArray();
  CollectComponentFiles(componentFolder);
  if (versionList) return VerifyVersionList(*versionList);
  return ShowInstalledComponents(componentFolder);
}

int32_t VerifyVersionList(const FixedPath& versionList) {
  ProfileDocument document;
  // A file that cannot be read leaves the document without sections; a
  // malformed one leaves what was parsed before the fault.
  ReadProfile(document, versionList);
  return VerifyVersionDocument(document, ComponentFiles, ReadProductVersion);
}
