#include "settings/manager_options.h"

#include <cstdlib>

#include "foundation/paths.h"
#include "foundation/profile_document.h"
#include "maintenance/installation.h"
#include "settings/settings_lock.h"

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

bool OptionsFile(const FixedPath& componentFolder, FixedPath& file) {
  file = componentFolder;
  return file.AppendName(ManagerOptionsFileName) == StatusOk;
}

enum class SaveOutcome { Saved, Missing, Failed };

// Stores value as "CheckForUpdates" and resets "LastUpdateCheckTime" in one
// rewrite of the file at file. Missing: no file, section or key to change.
SaveOutcome SaveUpdateCheckValue(const FixedPath& file, const char* value) {
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

bool StoredUpdateCheck(const FixedPath& componentFolder) {
  FixedPath file;
  char value[OptionValueBufferBytes] = "";
  if (!OptionsFile(componentFolder, file) || !file.Exists() ||
      !GetProfileValue(file, ManagerOptionsSectionName, CheckForUpdatesKey, value, sizeof value))
    return true;
  return (atoi(value) & 0xFF) != 0;
}

bool SaveUpdateCheck(const FixedPath& componentFolder, bool on) {
  FixedPath file;
  if (!OptionsFile(componentFolder, file)) return false;
  const char* value = on ? OptionOnValue : OptionOffValue;
  SettingsLock lock;
  if (!lock.Held()) return false;
  SaveOutcome outcome = SaveUpdateCheckValue(file, value);
  if (outcome == SaveOutcome::Missing) outcome = RebuildOptionsFile(file, value) ? SaveOutcome::Saved : SaveOutcome::Failed;
  return outcome == SaveOutcome::Saved;
}
