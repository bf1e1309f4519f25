#include "settings/manager_options.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/files/file_replacement.h"
#include "foundation/log/operations_log.h"
#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_edit.h"
#include "foundation/profile/profile_file.h"
#include "foundation/profile/profile_values.h"
#include "installation/installation.h"
#include "installation/settings_lock.h"

namespace {

// An option as the log shows it (UTF-8): the file by its true name, the
// section and the key.
std::string OptionName(const FixedPath& file, const char* key) {
  return std::string("settings ") + Quoted(LoggedPath(file.Text()).c_str()) + " [" + ManagerOptionsSectionName +
         "] " + key;
}

// The value as stored now, as the log shows it (before and after a change).
std::string StoredOption(const FixedPath& file, const char* key) {
  if (!LogIsOpen()) return std::string();
  const std::optional<std::string> old = ReadProfileValueText(file, ManagerOptionsSectionName, key);
  return Quoted(old ? old->c_str() : nullptr);
}

// Tells the log what a write of key to value did: the value before and after,
// or that it could not be written.
void LogOptionWrite(bool written, const FixedPath& file, const char* key, const std::string& before,
                    const char* value) {
  if (!LogIsOpen()) return;
  const std::string option = OptionName(file, key);
  const std::string after = Quoted(value);
  if (!written) {
    LogfUtf8(LogEventKind::Failed, "could not write %s = %s (the file cannot be read whole or written, or has no such key)",
             option.c_str(), Utf8OfAnsi(after.c_str()).c_str());
    return;
  }
  const std::string change = option + ": " + Utf8OfAnsi(before.c_str()) + " -> " + Utf8OfAnsi(after.c_str());
  if (after == before) {
    LogEventUtf8(change + " (unchanged)");
  } else {
    LogChangeUtf8(LogEventKind::Written, change, "set " + change);
  }
}

}  // namespace

bool SetManagerOption(const char* key, const char* value) {
  SettingsLock lock;
  if (!lock.Held()) return false;
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return true;
  if (file.AppendName(ManagerOptionsFileName) != StatusOk) return false;
  RemoveStaleSiblingFiles(file);
  const std::string before = StoredOption(file, key);
  const bool written = SetProfileValue(file, ManagerOptionsSectionName, key, value, true);
  LogOptionWrite(written, file, key, before, value);
  return written;
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
  if (!file.Exists()) {
    const bool made = RebuildOptionsFile(file, value);
    const std::string what = OptionName(file, CheckForUpdatesKey) + " = " + Quoted(value) + ", " +
                             LastUpdateCheckTimeKey + " = " + Quoted(OptionOffValue);
    if (made) {
      LogChangeUtf8(LogEventKind::Written, "made " + what, "make " + what);
    } else {
      LogEventUtf8(LogEventKind::Failed, "could not make " + what);
    }
    return made;
  }
  const std::string checkBefore = StoredOption(file, CheckForUpdatesKey);
  const std::string timeBefore = StoredOption(file, LastUpdateCheckTimeKey);
  // The file as it is, with only these two values changed or added.
  bool timeSet = true;
  const bool written = EditProfileFile(file, [value, &timeSet](std::string& text) {
           if (SetProfileTextValue(text, ManagerOptionsSectionName, CheckForUpdatesKey, value)) {
             // A file without the time keeps going without it.
             timeSet = SetProfileTextValue(text, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue);
           } else {
             AddProfileTextValue(text, ManagerOptionsSectionName, CheckForUpdatesKey, value);
             if (!SetProfileTextValue(text, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue))
               AddProfileTextValue(text, ManagerOptionsSectionName, LastUpdateCheckTimeKey, OptionOffValue);
           }
           return true;
         }) == StatusOk;
  LogOptionWrite(written, file, CheckForUpdatesKey, checkBefore, value);
  if (written && timeSet) LogOptionWrite(written, file, LastUpdateCheckTimeKey, timeBefore, OptionOffValue);
  return written;
}
