#include "settings/profile_value_write.h"

#include "foundation/profile_file.h"

bool SetProfileValue(const FixedPath& path, const char* section, const char* key, const char* value,
                     bool mayCreate) {
  if (!mayCreate && !path.Exists()) return false;
  ProfileDocument document;
  // A file that could not be read whole must not be written back from the
  // part that was read. A missing file reads as an empty document, which has
  // no key to change.
  const Status read = ReadProfile(document, path);
  if (ReadForbidsRewrite(read, path)) return false;
  if (!ReplaceProfileValue(document, section, key, value)) return false;
  return WriteProfile(document, path) == StatusOk;
}
