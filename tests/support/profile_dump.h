#pragma once
// Profile documents in tests: loaded from text or built entry by entry, and
// seen as a compact text for comparisons: each section as [name], each entry
// as <key=value>, in document order, e.g. "[Main]<key=value><k=v>[Other]".

#include <string>

#include "foundation/profile/profile_document.h"

std::string DumpProfile(const ProfileDocument& document);
// The same, leaving out entries whose value is empty.
std::string DumpProfileWithoutEmptyValues(const ProfileDocument& document);

// Replaces what document holds with what text says; the test fails unless
// the text reads cleanly.
void LoadProfile(ProfileDocument& document, const std::string& text);
// Adds an entry key to the last section named section, made when there is
// none, with value unless value is none: the way the program builds
// documents, which can hold what text cannot (an empty value, a blank in a
// key). The entry, when asked for, goes to out.
Status AddProfileEntry(ProfileDocument& document, const char* section, const char* key, const char* value,
                       ProfileEntry** out = nullptr);
// The writer's form of document; the test fails if it cannot be made.
std::string WrittenProfileText(const ProfileDocument& document);
