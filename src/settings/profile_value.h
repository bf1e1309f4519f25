#pragma once
// Single values of profile files: one key of one section, read without
// keeping the document.

#include <cstdint>

#include "foundation/fixed_path.h"
#include "foundation/profile_document.h"

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
