#include "settings/manager_options.h"

#include <cstdlib>

#include "foundation/paths.h"
#include "foundation/profile_document.h"
#include "maintenance/installation.h"
#include "settings/settings_lock.h"
#include "shell/message_boxes.h"
#include "toolkit/controls_win32.h"

bool SetManagerOption(const char* key, const char* value) {
  SettingsLock lock;
  if (!lock.Held()) return false;
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return true;
  if (file.AppendName(ManagerOptionsFileName) != StatusOk) return false;
  return SetProfileValue(file, ManagerOptionsSectionName, key, value, true);
}

bool SetUpdateCheck(bool on) { return SetManagerOption(CheckForUpdatesKey, on ? OptionOnValue : OptionOffValue); }

bool SetLastUpdateCheckTime(const char* time) { return SetManagerOption(LastUpdateCheckTimeKey, time); }

// The options as the main window shows and stores them.

namespace {

// Ids of the main window's controls that stay usable without a player: "Ok"
// (4), 5, and the beta box (13). Only ids up to 16 are switched.
constexpr int32_t LastSwitchedControlId = 16;
constexpr int32_t AlwaysEnabledIds[] = {4, 5, 13};

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

bool NeedsPlayer(int32_t id) {
  if (id > LastSwitchedControlId) return false;
  for (int32_t always : AlwaysEnabledIds) {
    if (id == always) return false;
  }
  return true;
}

// What the update box shows for the options file at file: checked unless the
// file holds a "CheckForUpdates" number whose low byte is 0.
bool StoredUpdateCheck(const FixedPath& file) {
  char value[OptionValueBufferBytes] = "";
  if (!file.Exists() ||
      !GetProfileValue(file, ManagerOptionsSectionName, CheckForUpdatesKey, value, sizeof value))
    return true;
  return (atoi(value) & 0xFF) != 0;
}

enum class SaveOutcome { Saved, Missing, Failed };

// Stores value as "CheckForUpdates" and resets "LastUpdateCheckTime" in one
// rewrite of the file at file. Missing: no file, section or key to change.
SaveOutcome SaveUpdateCheck(const FixedPath& file, const char* value) {
  if (!file.Exists()) return SaveOutcome::Missing;
  ProfileDocument document;
  const Status read = ReadProfile(document, file);
  if (ReadForbidsRewrite(read, file)) return SaveOutcome::Failed;
  if (!ReplaceProfileValue(document, ManagerOptionsSectionName, CheckForUpdatesKey, value))
    return SaveOutcome::Missing;
  // A file without the time keeps going without it.
  ReplaceProfileValue(document, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue);
  return WriteProfile(document, file) == StatusOk ? SaveOutcome::Saved : SaveOutcome::Failed;
}

// Makes the options file anew with the section and its two keys.
bool RebuildOptionsFile(const FixedPath& file, const char* value) {
  ProfileDocument document;
  ProfileSection* section = nullptr;
  ProfileEntry* entry = nullptr;
  if (document.AddSection(ManagerOptionsSectionName, &section) != StatusOk) return false;
  if (section->AddEntry(CheckForUpdatesKey, &entry) != StatusOk || entry->SetValue(value) != StatusOk) return false;
  if (section->AddEntry(LastUpdateCheckTimeKey, &entry) != StatusOk || entry->SetValue(OptionOffValue) != StatusOk)
    return false;
  return WriteProfile(document, file) == StatusOk;
}

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
  FixedPath file;
  const bool playerFound = ReadComponentPath(file);
  if (shown.checkForUpdates) {
    SetChecked(shown.checkForUpdates, !playerFound || file.AppendName(ManagerOptionsFileName) != StatusOk ||
                                          StoredUpdateCheck(file));
  }
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

bool ApplyManagerOptions() {
  FixedPath file;
  if (!ReadComponentPath(file) || !optionsChanged) return true;
  optionsChanged = false;
  if (!shown.checkForUpdates) return true;
  if (file.AppendName(ManagerOptionsFileName) != StatusOk) return false;
  const char* value = shown.checkForUpdates->IsChecked() ? OptionOnValue : OptionOffValue;
  SaveOutcome outcome;
  {
    // Released before the box below waits for the user.
    SettingsLock lock;
    outcome = lock.Held() ? SaveUpdateCheck(file, value) : SaveOutcome::Failed;
    if (outcome == SaveOutcome::Missing) outcome = RebuildOptionsFile(file, value) ? SaveOutcome::Saved : SaveOutcome::Failed;
  }
  if (outcome == SaveOutcome::Saved) return true;
  SetChecked(shown.checkForUpdates, StoredUpdateCheck(file));
  ShowInfo(MainWindow(), CheckForUpdatesCaption, OptionNotSavedText);
  return false;
}
