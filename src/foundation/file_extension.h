#pragma once
// File extensions: the text from the last dot of a file name on.

// The position in text of its extension: the last "." after the last "\",
// "/" or ":". Without such a dot, the terminating NUL (an empty extension).
const char* FileExtension(const char* text);
