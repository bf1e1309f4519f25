#include "foundation/core/json_text.h"
#include "foundation/core/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EscapeCase {
  const char* text;
  const char* literal;
};

TEST(JsonStringTest, EscapesWhatAParserRequiresAndKeepsTheRest) {
  const EscapeCase cases[] = {
      {"", "\"\""},
      {"C:\\Program Files\\Player", "\"C:\\\\Program Files\\\\Player\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\tb\nc\rd\be\ff", "\"a\\tb\\nc\\rd\\be\\ff\""},
      {"\x01\x1f", "\"\\u0001\\u001f\""},
      {"/ and \x7f stay", "\"/ and \x7f stay\""},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5\""},
  };
  for (const EscapeCase& c : cases) {
    String out;
    ASSERT_TRUE(AppendJsonString(out, c.text)) << c.text;
    EXPECT_STREQ(out.TextOrEmpty(), c.literal) << c.text;
  }
}

TEST(JsonStringTest, NullTextIsTheLiteralNull) {
  String out;
  ASSERT_TRUE(out.Assign("["));
  ASSERT_TRUE(AppendJsonString(out, nullptr));
  EXPECT_STREQ(out.TextOrEmpty(), "[null");
}

TEST(JsonStringTest, InvalidUtf8IsRefusedAndOutIsLeftAsItWas) {
  const char* const invalid[] = {
      "\xE9t\xE9",              // a single-byte code page text
      "\xC0\xAF",               // overlong "/"
      "\xE0\x80\xAF",           // overlong, three bytes
      "\xED\xA0\x80",           // a surrogate
      "\xF4\x90\x80\x80",       // above U+10FFFF
      "\xE2\x82",               // cut at the end
      "\x80",                   // a stray continuation byte
      "ok\xF8\x88\x80\x80\x80",  // five-byte form
  };
  for (const char* text : invalid) {
    String out;
    ASSERT_TRUE(out.Assign("{\"a\":"));
    EXPECT_FALSE(AppendJsonString(out, text)) << text;
    EXPECT_STREQ(out.TextOrEmpty(), "{\"a\":");
  }
}

TEST(JsonStringTest, SequenceLengths) {
  EXPECT_EQ(Utf8SequenceLength("a"), 1);
  EXPECT_EQ(Utf8SequenceLength("\xC3\xA9"), 2);
  EXPECT_EQ(Utf8SequenceLength("\xE2\x82\xAC"), 3);
  EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x8E\xB5"), 4);
  EXPECT_EQ(Utf8SequenceLength("\xC3"), 0);
}

}  // namespace
