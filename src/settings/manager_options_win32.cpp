#include "settings/manager_options.h"

#include "foundation/fixed_path.h"
#include "maintenance/installation_locations.h"
#include "settings/profile_value_write.h"
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
