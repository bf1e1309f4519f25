#pragma once
// What the fuzzers of profile-based lists share: the input read as profile
// text, from a block of exactly its size (so that AddressSanitizer sees any
// read past it), the way the program reads a file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "foundation/profile/profile_document.h"

#include "foundation/profile/profile_text.h"

// Inputs larger than this are passed over: they only slow the run.
constexpr size_t LargestFuzzedDocument = size_t{1} << 20;

// Fills document from data; false (document untouched) for an input too large.
inline bool ReadFuzzedDocument(const uint8_t* data, size_t size, ProfileDocument& document) {
  if (size > LargestFuzzedDocument) return false;
  std::unique_ptr<char[]> text(new char[size ? size : 1]);
  if (size) memcpy(text.get(), data, size);
  ReadProfileText(document, text.get(), static_cast<uint32_t>(size));
  return true;
}
