#pragma once
// JSON text (RFC 8259) for the machine-readable documents the program prints:
// string literals with every character a parser requires escaped.

#include <string>

#include "foundation/strings.h"

// Appends text, which must be UTF-8, to out as one JSON string literal with
// its quotes: '"' and '\' escaped, control characters below U+0020 as \b \f
// \n \r \t or \u00XX. Returns false, with out cut back to its length before
// the call, when text is not valid UTF-8 (a stray or overlong byte sequence,
// a surrogate, a code point above U+10FFFF) or when out cannot grow: a
// document never holds a literal a parser would refuse. A null text appends
// the literal null.
bool AppendJsonString(String& out, const char* text);

// The length of the valid UTF-8 sequence at text (1 to 4), or 0 when the
// bytes there do not start one.
int Utf8SequenceLength(const char* text);

// Converts text in the ANSI code page (the program's own single-byte texts:
// paths, registry and settings values) to UTF-8 in out, replacing its text.
// Returns false, with out empty, when the conversion fails or out cannot grow.
bool AnsiToUtf8(const char* ansi, String& out);

// AnsiToUtf8 as a std::string; the bytes as they are when the code page
// cannot convert them.
std::string Utf8OfAnsi(const char* ansi);

// A wide-character text (a name or value the ANSI code page may not hold) as
// UTF-8; empty for no text or when it cannot be converted.
std::string Utf8OfWide(const wchar_t* text);
