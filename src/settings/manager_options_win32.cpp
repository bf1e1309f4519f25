#include "settings/manager_options.h"

#include "foundation/fixed_path.h"
#include "maintenance/installation_locations.h"
#include "settings/profile_value_write.h"

bool SetManagerOption(const char* key, const char* value) {
  FixedPath file;
  if (!ReadComponentPath(file, nullptr)) return true;
  if (file.AppendName(ManagerOptionsFileName) != StatusOk) return false;
  return SetProfileValue(file, ManagerOptionsSectionName, key, value, true);
}

bool SetUpdateCheck(bool on) { return SetManagerOption(CheckForUpdatesKey, on ? OptionOnValue : OptionOffValue); }

bool SetLastUpdateCheckTime(const char* time) { return SetManagerOption(LastUpdateCheckTimeKey, time); }
