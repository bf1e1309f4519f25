#pragma once
// The one parser of profile text. ReadProfileText builds a document from what
// it finds; the edits of profile_edit find the lines they change with it, so
// that an edit and every later read agree on which line holds which entry.
//
// Syntax as read: lines end with CR, LF or any pair of them (CR LF, LF CR,
// CR CR, LF LF count as one line end). "[name]" starts a section; text after
// the closing bracket is ignored. "key = value" adds an entry: the key stops
// at the first blank or "=", the value starts after the "=" and the blanks
// and further "=" that follow it, runs to the line end and keeps its trailing
// blanks. A line with an empty value or without "=" adds nothing; lines
// before the first section, and header lines without a closing bracket, are
// ignored. There are no comments.

#include <cstdint>

#include "foundation/core/status.h"

// A run of bytes of the scanned text.
struct ProfileSpan {
  const char* text;
  uint32_t length;
};

namespace profile_scan {

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// A bounded view of the text: the end is the first NUL or the length given.
struct Scanner {
  const char* text;
  uint32_t length;

  bool AtEnd(uint32_t pos) const { return pos >= length || text[pos] == '\0'; }

  // The first position from pos holding a byte that stop() accepts, or the end.
  template <typename Stop>
  uint32_t Find(uint32_t pos, Stop stop) const {
    while (!AtEnd(pos) && !stop(text[pos])) ++pos;
    return pos;
  }
  template <typename Skip>
  uint32_t SkipWhile(uint32_t pos, Skip skip) const {
    while (!AtEnd(pos) && skip(text[pos])) ++pos;
    return pos;
  }

  // The line end from pos: the first CR, LF or end of text; a CR or LF right
  // after that first one belongs to the same line end.
  uint32_t LineEnd(uint32_t pos) const {
    pos = Find(pos, IsLineBreak);
    if (!AtEnd(pos) && pos + 1 < length && IsLineBreak(text[pos + 1])) ++pos;
    return pos;
  }

  ProfileSpan Span(uint32_t start, uint32_t end) const { return ProfileSpan{text + start, end - start}; }
};

// Scans the entries of the current section from p until the next header or
// the end of the text. Sets *stop to the first position not consumed.
template <typename Visitor>
Status ScanEntries(const Scanner& s, Visitor& visitor, uint32_t p, uint32_t* stop) {
  for (;;) {
    p = s.SkipWhile(p, IsBlank);
    if (s.AtEnd(p) || s.text[p] == '[') break;

    const uint32_t keyStart = p;
    const uint32_t keyEnd = s.Find(p, [](char c) { return IsBlank(c) || c == '='; });
    if (s.AtEnd(keyEnd)) {
      p = keyEnd;
      break;
    }
    if (IsLineBreak(s.text[keyEnd])) {  // a word alone on its line
      p = keyEnd + 1;
      continue;
    }
    const uint32_t equals = s.SkipWhile(keyEnd, IsSpaceOrTab);
    if (s.AtEnd(equals)) {
      p = equals;
      break;
    }
    if (s.text[equals] != '=') {
      // Not an entry here: the line is scanned again from the next character.
      p = equals + 1;
      continue;
    }
    const uint32_t valueStart = s.SkipWhile(equals + 1, [](char c) { return IsSpaceOrTab(c) || c == '='; });
    if (s.AtEnd(valueStart)) {
      p = valueStart;
      break;
    }
    if (IsLineBreak(s.text[valueStart])) {  // an empty value adds nothing
      p = valueStart + 1;
      continue;
    }
    const uint32_t valueEnd = s.Find(valueStart, IsLineBreak);
    const Status status = visitor.Entry(s.Span(keyStart, keyEnd), s.Span(valueStart, valueEnd), keyStart);
    if (status != StatusOk) {
      *stop = valueEnd;
      return status;
    }
    p = s.LineEnd(valueEnd);
  }
  *stop = p;
  return StatusOk;
}

}  // namespace profile_scan

// Scans text (length bytes; a NUL byte ends it earlier; text[length] and
// beyond are never read) and tells visitor, in text order, of every section
// and entry a reader finds:
//   Status Section(ProfileSpan name, uint32_t headerStart)
//   Status Entry(ProfileSpan key, ProfileSpan value, uint32_t keyStart)
//   void EntriesEnd(uint32_t stop)
// where headerStart is the position of the "[" and keyStart that of the
// key's first byte; EntriesEnd tells where the section's entries stopped
// being read: at the "[" of the next header (a line can hold the end of one
// section and a header: the reader starts a header wherever a "[" follows
// text that was no entry), or at the end of the text. A visitor's result other than StatusOk ends the scan with
// that result. StatusOk; StatusBadFormat when the text ends inside a header,
// or right after a header or a stray line without a line end.
template <typename Visitor>
Status ScanProfileText(const char* text, uint32_t length, Visitor& visitor) {
  using namespace profile_scan;
  if (!text) return StatusOk;
  const Scanner s{text, length};
  uint32_t pos = 0;
  for (;;) {
    pos = s.SkipWhile(pos, IsBlank);
    if (s.AtEnd(pos)) return StatusOk;

    if (text[pos] != '[') {  // a stray line
      pos = s.LineEnd(pos);
      if (pos >= length) return StatusBadFormat;
      continue;
    }

    const uint32_t close = s.Find(pos + 1, [](char c) { return c == ']' || IsLineBreak(c); });
    if (s.AtEnd(close)) return StatusBadFormat;  // the text ends inside the header
    if (text[close] != ']') {  // no closing bracket on the line
      pos = s.LineEnd(pos);
      if (pos >= length) return StatusOk;
      continue;
    }

    Status status = visitor.Section(s.Span(pos + 1, close), pos);
    if (status != StatusOk) return status;
    pos = s.LineEnd(close);  // anything after the bracket is ignored
    if (pos >= length) return StatusBadFormat;

    status = ScanEntries(s, visitor, pos, &pos);
    if (status != StatusOk) return status;
    visitor.EntriesEnd(pos);
    if (pos >= length) return StatusOk;
  }
}
