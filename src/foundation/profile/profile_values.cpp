#include "foundation/profile/profile_values.h"

#include <cstring>

bool CopyProfileValue(ProfileDocument& document, const char* section, const char* key, char* out,
                      uint32_t outSize) {
  if (outSize == 0) return false;
  ProfileSection* found = nullptr;
  if (document.FindSection(section, &found, false) != StatusOk) return false;
  ProfileEntry* entry = nullptr;
  if (found->FindEntry(key, &entry, false) != StatusOk) return false;
  uint32_t length = entry->value.Length();
  if (length == 0) {
    out[0] = '\0';
    return false;
  }
  if (length > outSize - 1) length = outSize - 1;
  memcpy(out, entry->value.Text(), length);
  out[length] = '\0';
  return true;
}

std::optional<std::string> ProfileValueText(ProfileDocument& document, const char* section, const char* key) {
  ProfileSection* found = nullptr;
  ProfileEntry* entry = nullptr;
  if (document.FindSection(section, &found, false) != StatusOk || found->FindEntry(key, &entry, false) != StatusOk)
    return std::nullopt;
  return std::string(entry->Value());
}

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
