#pragma once
// Comparisons without regard to case, for file extensions and name prefixes.
// Text is single-byte; the letters A-Z and a-z are folded, every other byte
// is compared as it is.

bool EqualIgnoringCase(const char* a, const char* b);
