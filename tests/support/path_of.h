#pragma once
// FixedPaths holding a test's path text.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/core/paths.h"

// The text cut as SetText cuts it (256 characters).
inline FixedPath PathOf(const std::string& text) {
  FixedPath path;
  path.SetText(text.c_str());
  return path;
}

// The text whole, up to the 259 characters a path holds (past what SetText
// keeps); longer text fails the test and gives the empty path.
inline FixedPath UncutPathOf(const std::string& text) {
  FixedPath path;
  EXPECT_LT(text.size(), FixedPath::TextBytes) << "the test's own path is too long";
  if (text.size() < FixedPath::TextBytes) memcpy(path.text, text.c_str(), text.size() + 1);
  return path;
}
