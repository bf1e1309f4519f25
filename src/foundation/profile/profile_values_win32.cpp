#include "foundation/profile/profile_values.h"

#include <string>

#include "foundation/profile/profile_edit.h"
#include "foundation/profile/profile_file.h"

bool GetProfileValue(const FixedPath& path, const char* section, const char* key, char* out,
                     uint32_t outSize) {
  ProfileDocument document;
  ReadProfile(document, path);  // a missing file leaves the document empty
  return CopyProfileValue(document, section, key, out, outSize);
}

std::optional<std::string> ReadProfileValueText(const FixedPath& path, const char* section, const char* key) {
  ProfileDocument document;
  if (ReadProfile(document, path) != StatusOk) return std::nullopt;
  return ProfileValueText(document, section, key);
}

bool SetProfileValue(const FixedPath& path, const char* section, const char* key, const char* value,
                     bool mayCreate) {
  if (!mayCreate && !path.Exists()) return false;
  // A missing file has no key to change; one that cannot be read whole is
  // never written back from the part that was read.
  bool found = false;
  const Status edited = EditProfileFile(path, [&](std::string& text) {
    found = SetProfileTextValue(text, section, key, value);
    return found;
  });
  return found && edited == StatusOk;
}
