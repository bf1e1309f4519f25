#pragma once
// Edits of the text of a profile file that exists, as administrators and
// other programs left it: each edit changes only the bytes it must and keeps
// every other byte: comments, blank lines, lines the reader ignores or cannot
// parse, text before the first header, other sections, the spacing of
// untouched entries and the line ends. The entries are found with the
// reader's own scan (profile_scan.h), so that an edit changes exactly the
// entry a reader returns: the last entry of its key in the last section of
// its name. New lines take the writer's form ("key = value", "[name]") and
// the file's own line end (its first one: CR LF, LF or CR; CR LF when it has
// none).
//
// The text is the file's bytes after a UTF-8 byte-order mark (the caller
// keeps the mark). Text from the first NUL byte on is kept but never looked
// at, and nothing is added behind it. Values and names hold no line break.

#include <string>

// The line end new lines of text are given.
std::string LineEndOf(const std::string& text);

// Sets the value of key in the last section named section to value, changing
// only the bytes of the old value. False, text unchanged, when the section or
// the key is missing.
bool SetProfileTextValue(std::string& text, const char* section, const char* key, const char* value);

// Adds "key = value" as the last line of the last section named section,
// before the blank lines that end it; a section missing from the text is
// added at its end, "[section]" with this one line.
void AddProfileTextValue(std::string& text, const char* section, const char* key, const char* value);

// Inserts "key = value" as the first line after the header of the last
// section named section, so that it is the section's first entry; a section
// missing from the text is added at its end, "[section]" with this one line.
void InsertFirstProfileTextValue(std::string& text, const char* section, const char* key, const char* value);

// Removes the line of every entry of the last section named section whose key
// is key and whose value is value (compared byte for byte); the number of
// lines removed.
int RemoveProfileTextValues(std::string& text, const char* section, const char* key, const char* value);
