#include "foundation/files/product_version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int VersionRounds = 4;
// A field this long or longer ends the parse; shorter ones fit the field buffer.
constexpr size_t LongestField = 5;

int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return 0;
}

}  // namespace

uint32_t ParseProductVersion(const char* text) {
  uint32_t result = 0;
  const char* field = text;  // none once the fields have run out
  for (int round = 0; round < VersionRounds; ++round) {
    result <<= 8;
    if (!field) continue;
    const char* comma = FindCharacter(field, ',');
    size_t length = comma ? static_cast<size_t>(comma - field) : strlen(field);
    if (length > LongestField) break;
    char digits[LongestField + 1];
    memcpy(digits, field, length);
    digits[length] = '\0';
    // Not masked to its byte: an oversized value spills into the next one.
    result |= static_cast<uint32_t>(atoi(digits));
    field = comma ? comma + 1 : nullptr;
  }
  return result;
}

bool AppendProductVersionText(uint32_t version, char* out) {
  if (version == 0) return false;
  char hex[9];
  snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(version));
  char* end = out + strlen(out);
  for (int pair = 0; pair < VersionRounds; ++pair) {
    // Each number has at most three digits: the whole text fits 16 bytes.
    end += snprintf(end, 4, "%d", HexPairValue(hex + 2 * pair));
    if (pair < VersionRounds - 1) *end++ = '.';
  }
  *end = '\0';
  return true;
}

void ProductVersionSubBlock(uint16_t language, uint16_t codePage, char* out) {
  static const char head[] = "\\StringFileInfo\\";
  static const char tail[] = "\\ProductVersion";
  static_assert(sizeof head - 1 + 8 + sizeof tail == ProductVersionSubBlockBytes, "sub-block name size");
  char* p = out;
  memcpy(p, head, sizeof head - 1);
  p += sizeof head - 1;
  for (int shift = 12; shift >= 0; shift -= 4) *p++ = HexDigitChar(language >> shift);
  for (int shift = 12; shift >= 0; shift -= 4) *p++ = HexDigitChar(codePage >> shift);
  memcpy(p, tail, sizeof tail);
}

int HexPairValue(const char* pair) { return HexDigitValue(pair[0]) * 16 + HexDigitValue(pair[1]); }

char HexDigitChar(uint32_t value) { return "0123456789ABCDEF"[value & 0xF]; }

const char* FindCharacter(const char* text, char character) {
  if (character == '\0') return nullptr;
  return strchr(text, character);
}
