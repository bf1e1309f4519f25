#pragma once
// Paths from the system's path functions (GetFullPathNameW, GetShortPathNameW,
// GetLongPathNameW), whose length is not known before the call.

#include <windows.h>

#include <string>

// A path from one of the system's path functions, through fill(buffer, size),
// which gives the size it needs when the buffer is too small (none at
// first): asked again while the path grows in between. Empty when it fails.
template <typename Fill>
std::wstring ReadSystemPath(Fill fill) {
  DWORD needed = fill(nullptr, 0);
  for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
    std::wstring text(needed, L'\0');
    const DWORD length = fill(&text[0], needed);
    if (length < needed) {
      text.resize(length);
      return text;
    }
    needed = length;
  }
  return std::wstring();
}
