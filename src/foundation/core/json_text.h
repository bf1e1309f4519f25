#pragma once
// JSON text (RFC 8259) for the machine-readable documents the program prints:
// string literals with every character a parser requires escaped.

#include "foundation/core/strings.h"

// Appends text, which must be UTF-8, to out as one JSON string literal with
// its quotes: '"' and '\' escaped, control characters below U+0020 as \b \f
// \n \r \t or \u00XX. Returns false, with out cut back to its length before
// the call, when text is not valid UTF-8 (a stray or overlong byte sequence,
// a surrogate, a code point above U+10FFFF) or when out cannot grow: a
// document never holds a literal a parser would refuse. A null text appends
// the literal null.
bool AppendJsonString(String& out, const char* text);
