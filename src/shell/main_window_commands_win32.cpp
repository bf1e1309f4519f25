#include "shell/main_window_commands.h"

#include "foundation/fixed_path.h"
#include "inventory/component_inventory.h"
#include "maintenance/installation_locations.h"
#include "settings/download_sites.h"
#include "settings/manager_options.h"
#include "shell/main_window_layout.h"
#include "shell/message_boxes.h"
#include "toolkit/control_list.h"

void RunListComponentsCommand(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) {
    ShowNotRegistered(owner);
    return;
  }
  InventoryComponents(componentFolder, nullptr);
}

void RunCheckForUpdatesCommand(HWND owner, const GrowArray& controls) {
  FixedPath componentFolder;
  if (ReadComponentPath(componentFolder)) {
    MarkOptionsChanged();
    ApplyManagerOptions();
    return;
  }
  ShowNotRegistered(owner);
  if (Control* box = ControlWithId(controls, CheckForUpdatesCommandId)) box->Uncheck();
}

void RunPublicBetaCommand(HWND owner, const GrowArray& controls) {
  Control* box = ControlWithId(controls, PublicBetaCommandId);
  if (!box) return;
  const bool join = box->IsChecked();
  char valueName[DownloadUrlBufferBytes];
  char site[SiteBufferBytes];
  BetaSiteSettings(valueName, sizeof valueName, site, sizeof site);
  if (join) {
    if (!SetPlayerValue(valueName, site)) ShowInfo(owner, RegistryErrorCaption, BetaValueNotAddedText);
  } else {
    if (!RemovePlayerValue(valueName)) ShowInfo(owner, RegistryErrorCaption, BetaValueNotRemovedText);
  }
  // The download-site list always gets the built-in beta site.
  EditSiteList(BuiltInBetaSite, join);
}
