#pragma once
// The signed 32-bit result shared by path, file and profile operations.
// Callers test for StatusOk; the site-list writer tests for a negative value.

#include <cstdint>

typedef int32_t Status;

enum : Status {
  StatusOk = 0,
  StatusOpenFailed = -41,   // an existing file could not be opened
  StatusBadFormat = -42,    // profile text ended inside a header or without a line end
  StatusIoError = -44,      // create, read, write, flush, sync, close or delete failed; path too long
  StatusForeignText = -45,  // a profile file in UTF-16, or with a NUL byte before its end
  StatusBadArgument = -50,  // a missing text or a bad separator
  StatusNoMemory = -108,    // no memory for a profile document, section, entry or text
  StatusNotFound = -1001,   // no section or entry of that name, or a position past the end
};
