#pragma once
// Product versions of libraries, read from their version resources.
//
// A product version is one unsigned 32-bit number holding four version
// numbers, one per byte, the first in the most significant byte; 0 means the
// file has no usable product version. Its text is the four bytes in decimal,
// most significant first, joined by "." (hexadecimal 0300011B is 3.0.1.27).
//
// The resource's product version string is comma separated ("3, 0, 1, 27").
// Each field is converted with atoi and ORed in whole, after the number so far
// is shifted left by 8 bits; a field of six characters or more ends the parse.
// So "10, 0, 0, 300" gives 0A00012C (10.0.1.44) and "3.0.1.27" gives 0.

#include <cstdint>

#include "foundation/core/paths.h"

// Free bytes the caller leaves in a buffer that receives a version text:
// "255.255.255.255" and its terminator.
constexpr uint32_t ProductVersionTextBytes = 16;

// Bytes of the sub-block name "\StringFileInfo\LLLLCCCC\ProductVersion".
constexpr uint32_t ProductVersionSubBlockBytes = 40;

// The product version of file from the string table of the first language and
// code page of its translation table; 0 when there is none.
uint32_t ReadProductVersion(const FixedPath& file);

// Appends the product version text of file to out (at least 16 free bytes
// after its current text). False, out untouched, when the file has no version.
bool FormatProductVersion(const FixedPath& file, char* out);

// The number of a product version string: at most four rounds, a missing field
// counting as an empty one (value 0 after its shift).
uint32_t ParseProductVersion(const char* text);

// Appends the text of version to out; false, out untouched, for 0.
bool AppendProductVersionText(uint32_t version, char* out);

// Writes "\StringFileInfo\" + language and code page as four upper-case
// hexadecimal digits each + "\ProductVersion" into out (40 bytes).
void ProductVersionSubBlock(uint16_t language, uint16_t codePage, char* out);

// The value 0 to 255 of two hexadecimal digits, the first the more
// significant. Digits are 0-9, A-F and a-f; any other character counts as 0.
int HexPairValue(const char* pair);

// The upper-case hexadecimal digit of the low four bits of value.
char HexDigitChar(uint32_t value);

// The first occurrence of character in text, or none; the terminating NUL is
// never found.
const char* FindCharacter(const char* text, char character);
