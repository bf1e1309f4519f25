#include "settings/manager_options.h"

#include <cstdlib>

#include "foundation/paths.h"
#include "foundation/file_replacement.h"
#include "foundation/profile_document.h"
#include "foundation/profile_edit.h"
#include "foundation/profile_file.h"
#include "foundation/profile_values.h"
#include "maintenance/installation.h"
#include "settings/settings_lock.h"

bool SetManagerOption(const char* key, const char* value) {
  SettingsLock lock;
  if (!lock.Held()) return false;
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return true;
  if (file.AppendName(ManagerOptionsFileName) != StatusOk) return false;
  RemoveStaleSiblingFiles(file);
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

// Makes a missing options file with the section and its two keys.
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
  RemoveStaleSiblingFiles(file);
  if (!file.Exists()) return RebuildOptionsFile(file, value);
  // The file as it is, with only these two values changed or added.
  return EditProfileFile(file, [value](std::string& text) {
           if (SetProfileTextValue(text, ManagerOptionsSectionName, CheckForUpdatesKey, value)) {
             // A file without the time keeps going without it.
             SetProfileTextValue(text, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue);
           } else {
             AddProfileTextValue(text, ManagerOptionsSectionName, CheckForUpdatesKey, value);
             if (!SetProfileTextValue(text, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue))
               AddProfileTextValue(text, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue);
           }
           return true;
         }) == StatusOk;
}
