#include "shell/window_commands_win32.h"

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "installation/installation.h"
#include "installation/settings_lock.h"
#include "inventory/component_inventory.h"
#include "inventory/installed_components_win32.h"
#include "maintenance/resource_cache.h"
#include "maintenance/uninstall.h"
#include "maintenance/uninstall_win32.h"
#include "settings/download_sites.h"
#include "settings/manager_options.h"
#include "toolkit/message_boxes_win32.h"

void ShowNotRegistered(HWND owner) { ShowInfo(owner, NotRegisteredCaption, NotRegisteredText); }

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

void RunUninstallCommand(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) {
    ShowNotRegistered(owner);
    return;
  }
  if (!AskYesNo(owner, UninstallQuestionCaption, UninstallQuestionText, nullptr, true)) return;
  // Not held while the question waits for the user, nor while a box does:
  // the boxes of the uninstall and its outcome are shown once it is let go.
  DeferredBoxes boxes;
  SettingsLock lock;
  int32_t outcome = lock.Held() ? UninstallAndVerify(owner, componentFolder) : UninstallStepFailed;
  UninstallReport report = UninstallOutcomeReport(outcome);
  ShowInfo(owner, report.caption, report.text);
}

void RunListComponentsCommand(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) {
    ShowNotRegistered(owner);
    return;
  }
  InventoryComponents(componentFolder, nullptr);
  ShowInstalledComponents(owner, componentFolder);
}

void RunCheckForUpdatesCommand(HWND owner, const GrowArray& controls) {
  FixedPath componentFolder;
  if (ReadComponentPath(componentFolder)) {
    MarkOptionsChanged();
    ApplyManagerOptions(owner);
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

// The options as the main window shows and stores them.

namespace {

struct OptionControls {
  GrowArray* controls;
  Control* checkForUpdates;
  Control* publicBeta;
};

OptionControls shown = {};
bool optionsChanged = false;

void SetChecked(Control* box, bool checked) {
  if (!box) return;
  if (checked) {
    box->Check();
  } else {
    box->Uncheck();
  }
}

// "Ok" and the beta box work without a player; every other control needs one.
bool NeedsPlayer(int32_t id) { return id != OkCommandId && id != PublicBetaCommandId; }

}  // namespace

void AttachOptionControls(GrowArray* controls, Control* checkForUpdates, Control* publicBeta) {
  shown = OptionControls{controls, checkForUpdates, publicBeta};
}

void DetachOptionControls() { shown = OptionControls{}; }

void MarkOptionsChanged() { optionsChanged = true; }

void LoadManagerOptions() {
  if (shown.publicBeta) {
    char url[DownloadUrlBufferBytes];
    SetChecked(shown.publicBeta, ReadAdditionalDownloadUrl(url));
  }
  FixedPath componentFolder;
  const bool playerFound = ReadComponentPath(componentFolder);
  if (shown.checkForUpdates) SetChecked(shown.checkForUpdates, !playerFound || StoredUpdateCheck(componentFolder));
  if (shown.controls) {
    for (uint32_t i = 0; i < shown.controls->count; ++i) {
      Control* control = ControlAt(*shown.controls, i);
      if (!control || !NeedsPlayer(control->Id()) || control->IsEnabled() == playerFound) continue;
      if (playerFound) {
        control->Enable();
      } else {
        control->Disable();
      }
    }
  }
  optionsChanged = false;
}

bool ApplyManagerOptions(HWND owner) {
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder) || !optionsChanged) return true;
  optionsChanged = false;
  if (!shown.checkForUpdates) return true;
  if (SaveUpdateCheck(componentFolder, shown.checkForUpdates->IsChecked())) return true;
  SetChecked(shown.checkForUpdates, StoredUpdateCheck(componentFolder));
  ShowInfo(owner, CheckForUpdatesCaption, OptionNotSavedText);
  return false;
}
