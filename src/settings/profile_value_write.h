#pragma once
// Changing one value of a profile file. Only a key that is already in the
// file is changed: nothing is ever added, so a file without the section or
// key, or no file at all, stays as it is.

#include "foundation/fixed_path.h"
#include "foundation/profile_document.h"

// Sets the value of key in the last section named section of document to
// value. False, and the document unchanged, when the section or the key is
// missing or the value cannot be held.
bool ReplaceProfileValue(ProfileDocument& document, const char* section, const char* key,
                         const char* value);

// ReplaceProfileValue on the profile file at path, which is then replaced
// whole with the writer's form of the document: every other section, key and
// value is written back unchanged and in order. Without mayCreate a missing
// file is not tried. False when the file cannot be read whole, lacks the
// section or key, or cannot be written; the file is then as it was.
bool SetProfileValue(const FixedPath& path, const char* section, const char* key, const char* value,
                     bool mayCreate);
