#pragma once
// Single values of profile documents and files: one key of one section.

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/core/paths.h"
#include "foundation/profile/profile_document.h"

// The whole value of key in the last section named section of document, or
// none when the section or key is missing.
std::optional<std::string> ProfileValueText(ProfileDocument& document, const char* section, const char* key);

// The same for the profile file at path; none also when the file is missing
// or cannot be read whole.
std::optional<std::string> ReadProfileValueText(const FixedPath& path, const char* section, const char* key);

// Single values of profile files: one key of one section, read without
// keeping the document.

// The value of key in the last section named section of document, copied
// with its terminator into out, which holds outSize bytes. A longer value is
// cut to outSize - 1 characters. False, out untouched, when the section or key
// is missing or outSize is 0; false with out the empty text when the value is
// empty.
bool CopyProfileValue(ProfileDocument& document, const char* section, const char* key, char* out,
                      uint32_t outSize);

// CopyProfileValue on the profile file at path; a missing or unreadable file
// reads as a document without sections.
bool GetProfileValue(const FixedPath& path, const char* section, const char* key, char* out,
                     uint32_t outSize);

// Changing one value of a profile file. Only a key that is already in the
// file is changed: nothing is ever added, so a file without the section or
// key, or no file at all, stays as it is.

// Sets the value of key in the last section named section of document to
// value. False, and the document unchanged, when the section or the key is
// missing or the value cannot be held.
bool ReplaceProfileValue(ProfileDocument& document, const char* section, const char* key,
                         const char* value);

// Sets the value of key in the last section named section of the profile
// file at path (the entry a reader returns) to value, changing only the bytes
// of that value (EditProfileFile): every other byte of the file stays. Without
// mayCreate a missing file is not tried; a missing file has no key to change
// either way. False when the file cannot be read whole, lacks the section or
// key, or cannot be written; the file is then as it was.
bool SetProfileValue(const FixedPath& path, const char* section, const char* key, const char* value,
                     bool mayCreate);
