#include "settings/profile_value_write.h"

bool ReplaceProfileValue(ProfileDocument& document, const char* section, const char* key,
                         const char* value) {
  ProfileSection* found = nullptr;
  if (document.FindSection(section, &found, false) != StatusOk) return false;
  ProfileEntry* entry = nullptr;
  if (found->FindEntry(key, &entry, false) != StatusOk) return false;
  // Put into a copy first: a failed Put would leave the entry without its value.
  String copy;
  if (!copy.Assign(value)) return false;
  return entry->value.Swap(copy);
}
