#include "settings/profile_value.h"

#include "foundation/profile_file.h"

bool GetProfileValue(const FixedPath& path, const char* section, const char* key, char* out,
                     uint32_t outSize) {
  ProfileDocument document;
  ReadProfile(document, path);  // a missing file leaves the document empty
  return CopyProfileValue(document, section, key, out, outSize);
}
