#pragma once
// The path separators, "\" and "/", for single-byte and wide text: below
// both the path texts (paths) and the ANSI forms of stored names
// (ansi_paths), which split paths at them.

#include <cstddef>
#include <cstring>

// True for the two path separators, "\" and "/"; for single-byte and wide text.
template <typename Char>
bool IsPathSeparator(Char c) {
  return c == Char('\\') || c == Char('/');
}

// The length of the first length characters of text without the separators
// at their end.
template <typename Char>
size_t LengthWithoutTrailingSeparators(const Char* text, size_t length) {
  while (length > 0 && IsPathSeparator(text[length - 1])) --length;
  return length;
}

// The same for a NUL-terminated text.
inline size_t LengthWithoutTrailingSeparators(const char* text) {
  return LengthWithoutTrailingSeparators(text, strlen(text));
}
