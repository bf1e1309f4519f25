#pragma once
// A compact text of a profile document for comparisons in tests: each
// section as [name], each entry as <key=value>, in document order, e.g.
// "[Main]<key=value><k=v>[Other]".

#include <string>

#include "foundation/profile_document.h"

std::string DumpProfile(const ProfileDocument& document);
// The same, leaving out entries whose value is empty.
std::string DumpProfileWithoutEmptyValues(const ProfileDocument& document);
