#include "foundation/core/json_text.h"

#include "foundation/core/code_page.h"

namespace {

// Writes into out at a position it keeps itself, so that a long text is not
// measured again for every piece.
class LiteralWriter {
 public:
  LiteralWriter(String& out, uint32_t position) : out_(out), position_(position) {}
  bool Put(const char* text, uint32_t count) {
    if (!out_.Put(text, count, position_)) return false;
    position_ += count;
    return true;
  }
  bool Put(char character) { return Put(&character, 1); }

 private:
  String& out_;
  uint32_t position_;
};

// The escape of a control character; \u00XX for those without a short form.
bool PutEscapedControl(LiteralWriter& writer, unsigned char character) {
  switch (character) {
    case '\b': return writer.Put("\\b", 2);
    case '\f': return writer.Put("\\f", 2);
    case '\n': return writer.Put("\\n", 2);
    case '\r': return writer.Put("\\r", 2);
    case '\t': return writer.Put("\\t", 2);
    default: break;
  }
  static const char kHexDigits[] = "0123456789abcdef";
  const char escape[6] = {'\\', 'u', '0', '0', kHexDigits[character >> 4], kHexDigits[character & 0xFu]};
  return writer.Put(escape, sizeof escape);
}

}  // namespace

bool AppendJsonString(String& out, const char* text) {
  const uint32_t lengthBefore = out.Length();
  if (!text) return out.Append("null");
  LiteralWriter writer(out, lengthBefore);
  bool ok = writer.Put('"');
  const char* at = text;
  while (ok && *at) {
    const unsigned char character = static_cast<unsigned char>(*at);
    if (character == '"' || character == '\\') {
      ok = writer.Put('\\') && writer.Put(*at);
      ++at;
    } else if (character < 0x20u) {
      ok = PutEscapedControl(writer, character);
      ++at;
    } else {
      const int length = Utf8SequenceLength(at);
      ok = length != 0 && writer.Put(at, static_cast<uint32_t>(length));
      at += length;
    }
  }
  ok = ok && writer.Put('"');
  if (!ok && out.Text()) out.Put(nullptr, 0, lengthBefore);
  return ok;
}
