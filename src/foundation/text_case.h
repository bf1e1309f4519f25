#pragma once
// Comparisons without regard to case, for file extensions, name prefixes and
// window class names. Text is single-byte; the letters A-Z and a-z are
// folded, every other byte is compared as it is.

bool EqualIgnoringCase(const char* a, const char* b);

// True when text begins with prefix (an empty prefix always).
bool StartsWithIgnoringCase(const char* text, const char* prefix);
