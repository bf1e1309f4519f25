#pragma once
// A FixedPath holding a test's path text (cut as SetText cuts it).

#include <string>

#include "foundation/fixed_path.h"

inline FixedPath PathOf(const std::string& text) {
  FixedPath path;
  path.SetText(text.c_str());
  return path;
}
