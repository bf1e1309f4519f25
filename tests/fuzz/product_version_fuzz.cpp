// Fuzzes the product-version text: any bytes parse to a number; a number
// formats to "no version" (0) or to four dotted decimal numbers of 0 to 255
// that fit the 16-byte buffer, are the number's bytes, and parse back (in
// the resource's comma form) to the same number. The text is a heap block of
// exactly the input and a terminator, the output buffer one of exactly
// ProductVersionTextBytes, so AddressSanitizer sees any overrun.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "foundation/files/product_version.h"

namespace {

void Fail(const char* what) {
  fprintf(stderr, "product_version_fuzz: %s\n", what);
  abort();
}

// Checks the text of version and that it parses back to version.
void CheckFormat(uint32_t version) {
  std::unique_ptr<char[]> out(new char[ProductVersionTextBytes]);
  out[0] = '\0';
  const bool formatted = AppendProductVersionText(version, out.get());
  if (formatted != (version != 0)) Fail("only 0 has no version text");
  if (!formatted) {
    if (out[0] != '\0') Fail("output touched for no version");
    return;
  }
  if (strnlen(out.get(), ProductVersionTextBytes) == ProductVersionTextBytes) Fail("text overran its buffer");
  // Four numbers of one to three digits, the bytes of the version.
  const char* p = out.get();
  for (int field = 0; field < 4; ++field) {
    int digits = 0;
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + static_cast<uint32_t>(*p++ - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || (digits > 1 && p[-digits] == '0')) Fail("malformed number");
    if (value != ((version >> (24 - 8 * field)) & 0xFF)) Fail("number is not the version's byte");
    if (*p != (field < 3 ? '.' : '\0')) Fail("numbers not joined by dots");
    ++p;
  }
  // The resource writes the numbers with commas; the parse takes them back.
  std::unique_ptr<char[]> commas(new char[ProductVersionTextBytes]);
  memcpy(commas.get(), out.get(), ProductVersionTextBytes);
  for (char* c = commas.get(); *c; ++c)
    if (*c == '.') *c = ',';
  if (ParseProductVersion(commas.get()) != version) Fail("text does not parse back to the version");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  std::unique_ptr<char[]> text(new char[size + 1]);
  memcpy(text.get(), data, size);
  text[size] = '\0';

  CheckFormat(ParseProductVersion(text.get()));

  // Any number at all, taken from the first four bytes.
  if (size >= 4) {
    uint32_t number = 0;
    memcpy(&number, data, 4);
    CheckFormat(number);
  }
  // The hexadecimal helpers on any two bytes.
  if (size >= 2) {
    const int pair = HexPairValue(text.get());
    if (pair < 0 || pair > 255) Fail("hexadecimal pair out of range");
    const uint8_t byte = data[0];
    const char digits[2] = {HexDigitChar(byte >> 4), HexDigitChar(byte)};
    if (HexPairValue(digits) != byte) Fail("hexadecimal digits do not read back");
    // The sub-block name of a language and a code page: 39 characters.
    std::unique_ptr<char[]> subBlock(new char[ProductVersionSubBlockBytes]);
    ProductVersionSubBlock(static_cast<uint16_t>(data[0] | data[1] << 8), static_cast<uint16_t>(data[1]), subBlock.get());
    if (strnlen(subBlock.get(), ProductVersionSubBlockBytes) != ProductVersionSubBlockBytes - 1)
      Fail("sub-block name of the wrong length");
  }
  return 0;
}
