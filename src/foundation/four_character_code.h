#pragma once
// Four-character codes: file creators and file types.

#include <cstdint>

// Packs a four-character code, the first character in the most significant byte.
constexpr uint32_t FourCharacterCode(const char (&code)[5]) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}
