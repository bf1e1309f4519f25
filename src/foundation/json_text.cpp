#include "foundation/json_text.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

// The escape of a control character; \u00XX for those without a short form.
bool AppendEscapedControl(String& out, unsigned char character) {
  switch (character) {
    case '\b': return out.Append("\\b");
    case '\f': return out.Append("\\f");
    case '\n': return out.Append("\\n");
    case '\r': return out.Append("\\r");
    case '\t': return out.Append("\\t");
    default: break;
  }
  static const char kHexDigits[] = "0123456789abcdef";
  char escape[7] = {'\\', 'u', '0', '0', kHexDigits[character >> 4], kHexDigits[character & 0xFu], '\0'};
  return out.Append(escape);
}

}  // namespace

int Utf8SequenceLength(const char* text) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  unsigned char lead = bytes[0];
  if (lead < 0x80u) return 1;
  int length = 0;
  unsigned int lowest = 0;  // the smallest code point of this length: longer forms are overlong
  unsigned int codePoint = 0;
  if ((lead & 0xE0u) == 0xC0u) { length = 2; lowest = 0x80u; codePoint = lead & 0x1Fu; }
  else if ((lead & 0xF0u) == 0xE0u) { length = 3; lowest = 0x800u; codePoint = lead & 0x0Fu; }
  else if ((lead & 0xF8u) == 0xF0u) { length = 4; lowest = 0x10000u; codePoint = lead & 0x07u; }
  else return 0;
  for (int i = 1; i < length; ++i) {
    if (!IsContinuation(bytes[i])) return 0;  // also stops at the terminator
    codePoint = (codePoint << 6) | (bytes[i] & 0x3Fu);
  }
  if (codePoint < lowest || codePoint > 0x10FFFFu) return 0;
  if (codePoint >= 0xD800u && codePoint <= 0xDFFFu) return 0;
  return length;
}

bool AppendJsonString(String& out, const char* text) {
  const uint32_t lengthBefore = out.Length();
  if (!text) return out.Append("null");
  bool ok = out.AppendCharacter('"');
  const char* at = text;
  while (ok && *at) {
    unsigned char character = static_cast<unsigned char>(*at);
    if (character == '"' || character == '\\') {
      ok = out.AppendCharacter('\\') && out.AppendCharacter(*at);
      ++at;
    } else if (character < 0x20u) {
      ok = AppendEscapedControl(out, character);
      ++at;
    } else {
      int length = Utf8SequenceLength(at);
      if (length == 0) ok = false;
      else {
        ok = out.Put(at, static_cast<uint32_t>(length), out.Length());
        at += length;
      }
    }
  }
  ok = ok && out.AppendCharacter('"');
  if (!ok && out.Text()) out.Put(nullptr, 0, lengthBefore);
  return ok;
}
