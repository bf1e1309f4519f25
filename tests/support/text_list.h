#pragma once
// Lists of texts (TypedArray<String>, such as the download-site list) set
// from and seen as standard strings.

#include <string>
#include <vector>

#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"

// Replaces what list holds with copies of texts; the test fails when one
// cannot be added.
void FillTexts(TypedArray<String>& list, const std::vector<std::string>& texts);
// The texts of list in order, an empty text for a String without one.
std::vector<std::string> TextsOf(const TypedArray<String>& list);
