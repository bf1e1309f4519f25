#include "foundation/profile/profile_edit.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/profile/profile_scan.h"

namespace {

struct EntryPlace {
  ProfileSpan key;
  uint32_t keyStart;
  uint32_t valueStart;
  uint32_t valueEnd;
};

struct SectionPlace {
  ProfileSpan name;
  uint32_t headerStart;
  uint32_t entriesEnd;  // where the reader stopped reading its entries
  std::vector<EntryPlace> entries;
};

// Where the reader finds each section and entry of the text.
struct PlaceCollector {
  const char* text;
  std::vector<SectionPlace> sections;

  Status Section(const ProfileSpan& name, uint32_t headerStart) {
    // A header that ends the text has no entries to read: they would start
    // at its end.
    sections.push_back(SectionPlace{name, headerStart, UINT32_MAX, {}});
    return StatusOk;
  }
  void EntriesEnd(uint32_t stop) { sections.back().entriesEnd = stop; }
  Status Entry(const ProfileSpan& key, const ProfileSpan& value, uint32_t keyStart) {
    const uint32_t valueStart = static_cast<uint32_t>(value.text - text);
    sections.back().entries.push_back(EntryPlace{key, keyStart, valueStart, valueStart + value.length});
    return StatusOk;
  }
};

bool SpanIs(const ProfileSpan& span, const char* name) {
  return strlen(name) == span.length && memcmp(span.text, name, span.length) == 0;
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// The end of what the reader reads: the first NUL byte, or the end.
size_t ReadableEnd(const std::string& text) {
  const size_t nul = text.find('\0');
  return nul == std::string::npos ? text.size() : nul;
}

// The text's sections and entries, as the reader finds them.
struct Places {
  std::vector<SectionPlace> sections;
  size_t end;  // the readable end

  explicit Places(const std::string& text) : end(ReadableEnd(text)) {
    PlaceCollector collector{text.data(), {}};
    ScanProfileText(text.data(), static_cast<uint32_t>(end), collector);
    sections = std::move(collector.sections);
  }

  // The section a reader's lookup by name gives: the last of that name.
  const SectionPlace* LastSection(const char* name) const {
    for (size_t i = sections.size(); i-- > 0;)
      if (SpanIs(sections[i].name, name)) return &sections[i];
    return nullptr;
  }

  // Where the section's lines end: the start of the line where the reader
  // stopped reading its entries (a line with the next header), or the
  // readable end. A line added before it is read as an entry of the section.
  size_t SectionEnd(const std::string& text, const SectionPlace& section) const {
    if (section.entriesEnd >= end) return end;
    return LineStart(text, section.entriesEnd);
  }

  static size_t LineStart(const std::string& text, size_t pos) {
    while (pos > 0 && !IsLineBreak(text[pos - 1])) --pos;
    return pos;
  }
};

// The position after the line end that follows pos (one CR LF, LF or CR), or
// end when the line runs to it.
size_t AfterLineEnd(const std::string& text, size_t pos, size_t end) {
  while (pos < end && !IsLineBreak(text[pos])) ++pos;
  if (pos >= end) return end;
  if (text[pos] == '\r' && pos + 1 < end && text[pos + 1] == '\n') return pos + 2;
  return pos + 1;
}

bool IsBlankLine(const std::string& text, size_t start, size_t stop) {
  for (size_t i = start; i < stop; ++i)
    if (!profile_scan::IsBlank(text[i])) return false;
  return true;
}

// Inserts line (without its line end) at pos, the start of a line or end;
// when pos is end and the text before it does not end a line, a line end
// comes first.
void InsertLine(std::string& text, size_t pos, size_t end, const std::string& line) {
  const std::string lineEnd = LineEndOf(text);
  std::string inserted;
  if (pos == end && pos > 0 && !IsLineBreak(text[pos - 1])) inserted += lineEnd;
  inserted += line + lineEnd;
  text.insert(pos, inserted);
}

std::string EntryLine(const char* key, const char* value) { return std::string(key) + " = " + value; }

std::string HeaderLine(const char* section) { return "[" + std::string(section) + "]"; }

// Adds "[section]" and line at the readable end.
void AppendSection(std::string& text, size_t end, const char* section, const std::string& line) {
  const std::string lineEnd = LineEndOf(text);
  std::string added;
  if (end > 0 && !IsLineBreak(text[end - 1])) added += lineEnd;
  added += HeaderLine(section) + lineEnd + line + lineEnd;
  text.insert(end, added);
}

// The last section named section, or none after the section was added at the
// end of the text with line as its one line.
const SectionPlace* SectionOrAppend(std::string& text, const Places& places, const char* section,
                                    const std::string& line) {
  const SectionPlace* found = places.LastSection(section);
  if (!found) AppendSection(text, places.end, section, line);
  return found;
}

}  // namespace

std::string LineEndOf(const std::string& text) {
  const size_t end = ReadableEnd(text);
  for (size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') return "\n";
    if (text[i] == '\r') return i + 1 < end && text[i + 1] == '\n' ? "\r\n" : "\r";
  }
  return "\r\n";
}

bool SetProfileTextValue(std::string& text, const char* section, const char* key, const char* value) {
  const Places places(text);
  const SectionPlace* found = places.LastSection(section);
  if (!found) return false;
  for (size_t i = found->entries.size(); i-- > 0;) {
    const EntryPlace& entry = found->entries[i];
    if (!SpanIs(entry.key, key)) continue;
    text.replace(entry.valueStart, entry.valueEnd - entry.valueStart, value);
    return true;
  }
  return false;
}

void AddProfileTextValue(std::string& text, const char* section, const char* key, const char* value) {
  const Places places(text);
  const SectionPlace* found = SectionOrAppend(text, places, section, EntryLine(key, value));
  if (!found) return;
  // After the section's last line that holds anything but blanks.
  const size_t stop = places.SectionEnd(text, *found);
  size_t insertAt = AfterLineEnd(text, found->headerStart, stop);
  for (size_t line = insertAt; line < stop;) {
    const size_t next = AfterLineEnd(text, line, stop);
    if (!IsBlankLine(text, line, next)) insertAt = next;
    line = next;
  }
  InsertLine(text, insertAt, places.end, EntryLine(key, value));
}

void InsertFirstProfileTextValue(std::string& text, const char* section, const char* key, const char* value) {
  const Places places(text);
  const SectionPlace* found = SectionOrAppend(text, places, section, EntryLine(key, value));
  if (!found) return;
  InsertLine(text, AfterLineEnd(text, found->headerStart, places.end), places.end, EntryLine(key, value));
}

int RemoveProfileTextValues(std::string& text, const char* section, const char* key, const char* value) {
  const Places places(text);
  const SectionPlace* found = places.LastSection(section);
  if (!found) return 0;
  int removed = 0;
  // From the last, so that the places before stay where they are.
  for (size_t i = found->entries.size(); i-- > 0;) {
    const EntryPlace& entry = found->entries[i];
    if (!SpanIs(entry.key, key) ||
        !SpanIs(ProfileSpan{text.data() + entry.valueStart, entry.valueEnd - entry.valueStart}, value))
      continue;
    const size_t start = Places::LineStart(text, entry.keyStart);
    text.erase(start, AfterLineEnd(text, entry.valueEnd, places.end) - start);
    ++removed;
  }
  return removed;
}
