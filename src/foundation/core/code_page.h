#pragma once
// The program's one conversion between its three forms of text: single-byte
// text in the ANSI code page (every path, name and value the program keeps),
// UTF-8 (the documents it prints and the log it writes) and UTF-16 (the
// wide-character calls, which see every name as it is stored).

#include <string>

#include "foundation/core/strings.h"

// The length of the valid UTF-8 sequence at text (1 to 4), or 0 when the
// bytes there do not start one (a stray or overlong sequence, a surrogate, a
// code point above U+10FFFF).
int Utf8SequenceLength(const char* text);

// text with every byte that does not start a valid UTF-8 sequence replaced
// by U+FFFD.
std::string ValidUtf8(const std::string& text);

// Windows (code_page_win32.cpp).

// Converts text in the ANSI code page to UTF-8 in out, replacing its text.
// Returns false, with out empty, when the conversion fails or out cannot grow.
bool AnsiToUtf8(const char* ansi, String& out);

// AnsiToUtf8 as a std::string; the bytes as they are when the code page
// cannot convert them.
std::string Utf8OfAnsi(const char* ansi);

// A wide-character text as UTF-8; empty for no text or when it cannot be
// converted.
std::string Utf8OfWide(const wchar_t* text);

// Text in the ANSI code page as wide characters; empty for no text or when
// it cannot be converted.
std::wstring WideOfAnsi(const char* ansi);

// UTF-8 text as wide characters; empty for no text or when it is not UTF-8.
std::wstring WideOfUtf8(const char* utf8);

// The exact ANSI form of UTF-8 text (ExactAnsiOfWide of it). False, ansi
// empty, when the code page cannot hold it as it is, or it is not UTF-8.
bool ExactAnsiOfUtf8(const char* utf8, std::string* ansi);

// The exact ANSI form of a wide-character text. False, ansi empty, when the
// code page holds some character of it only as a look-alike ("Ω" as "O") or
// not at all ("?"): such a text names something else in the ANSI calls.
bool ExactAnsiOfWide(const wchar_t* wide, std::string* ansi);

// text (UTF-8) in the ANSI code page for showing in a window: each character
// the code page holds as itself, each other one as "?" (never a look-alike,
// which would name something else). Bytes that are not UTF-8 stay as they are.
std::string DisplayAnsiOfUtf8(const char* utf8);
