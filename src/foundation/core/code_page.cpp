#include "foundation/core/code_page.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

constexpr const char* Replacement = "\xEF\xBF\xBD";  // U+FFFD

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

std::string ValidUtf8(const std::string& text) {
  std::string valid;
  valid.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const int length = Utf8SequenceLength(text.c_str() + at);
    if (length == 0) {
      valid += Replacement;
      ++at;
    } else {
      valid.append(text, at, static_cast<size_t>(length));
      at += static_cast<size_t>(length);
    }
  }
  return valid;
}
