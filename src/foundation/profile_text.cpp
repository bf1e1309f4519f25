#include "foundation/profile_text.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// A bounded view of the text: the end is the first NUL or the length given.
struct ProfileScanner {
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
};

// Parses the entries of section from p until the next header or the end of
// the text. Sets *stop to the first position not consumed. StatusNoMemory
// when an entry cannot be added.
Status ParseEntries(const ProfileScanner& s, ProfileSection& section, uint32_t p, uint32_t* stop) {
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
      // Not an entry here: the line is parsed again from the next character.
      p = equals + 1;
      continue;
    }
    const uint32_t valueStart =
        s.SkipWhile(equals + 1, [](char c) { return IsSpaceOrTab(c) || c == '='; });
    if (s.AtEnd(valueStart)) {
      p = valueStart;
      break;
    }
    if (IsLineBreak(s.text[valueStart])) {  // an empty value adds nothing
      p = valueStart + 1;
      continue;
    }
    const uint32_t valueEnd = s.Find(valueStart, IsLineBreak);

    ProfileEntry* entry = nullptr;
    Status status = section.AddEntry(s.text + keyStart, &entry, keyEnd - keyStart);
    if (status == StatusOk) status = entry->SetValue(s.text + valueStart, valueEnd - valueStart);
    if (status != StatusOk) {
      *stop = valueEnd;
      return status;
    }
    p = s.LineEnd(valueEnd);
  }
  *stop = p;
  return StatusOk;
}

}  // namespace

Status ReadProfileText(ProfileDocument& document, const char* text, uint32_t length) {
  if (!text) return StatusOk;
  const ProfileScanner s{text, length};
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

    ProfileSection* section = nullptr;
    Status status = document.AddSection(text + pos + 1, &section, close - pos - 1);
    if (status != StatusOk) return status;
    pos = s.LineEnd(close);  // anything after the bracket is ignored
    if (pos >= length) return StatusBadFormat;

    status = ParseEntries(s, *section, pos, &pos);
    if (status != StatusOk) return status;
    if (pos >= length) return StatusOk;
  }
}

namespace {

constexpr char LineBreak[] = "\r\n";
constexpr char EntrySeparator[] = " = ";

bool SendText(ProfileTextSink sink, void* context, const char* text, uint32_t count) {
  return count == 0 || sink(context, text, count);
}

bool SendString(ProfileTextSink sink, void* context, const String& text) {
  return SendText(sink, context, text.TextOrEmpty(), text.Length());
}

}  // namespace

Status WriteProfileText(const ProfileDocument& document, ProfileTextSink sink, void* context) {
  for (int32_t si = 0; si < document.sections.count; ++si) {
    const ProfileSection& section = document.sections[si];
    if (!SendText(sink, context, "[", 1) || !SendString(sink, context, section.name) ||
        !SendText(sink, context, "]\r\n", 3)) {
      return StatusIoError;
    }
    for (int32_t ei = 0; ei < section.entries.count; ++ei) {
      const ProfileEntry& entry = section.entries[ei];
      if (!SendString(sink, context, entry.key) ||
          !SendText(sink, context, EntrySeparator, sizeof EntrySeparator - 1) ||
          !SendString(sink, context, entry.value) ||
          !SendText(sink, context, LineBreak, sizeof LineBreak - 1)) {
        return StatusIoError;
      }
    }
  }
  return SendText(sink, context, LineBreak, sizeof LineBreak - 1) ? StatusOk : StatusIoError;
}

namespace {

struct TextCollector {
  String* out;
  uint32_t length;
};

bool CollectText(void* context, const char* bytes, uint32_t count) {
  TextCollector* collector = static_cast<TextCollector*>(context);
  if (count > String::CapacityMask - 1 - collector->length) return false;
  if (!collector->out->Put(bytes, count, collector->length)) return false;
  collector->length += count;
  return true;
}

}  // namespace

Status ProfileTextOf(const ProfileDocument& document, String& out) {
  if (!out.Put(nullptr, 0, 0)) return StatusNoMemory;
  TextCollector collector{&out, 0};
  return WriteProfileText(document, CollectText, &collector) == StatusOk ? StatusOk : StatusNoMemory;
}
