#include "foundation/files/product_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ParseCase {
  const char* text;
  uint32_t number;
};

TEST(ProductVersionTest, ParsesCommaSeparatedFieldsOrWithoutMasking) {
  const ParseCase cases[] = {
      {"3, 0, 1, 27", 0x0300011Bu},
      {"1,2,3,4", 0x01020304u},
      {"10, 0, 0, 300", 0x0A00012Cu},  // 300 spills into the byte above
      {"255, 255, 255, 255", 0xFFFFFFFFu},
      {"0, 0, 0, 0", 0u},
      {"3.0.1.27", 0u},              // one field of eight characters
      {"3, 1", 0x03010000u},         // missing fields count as empty
      {"7", 0x07000000u},
      {"", 0u},
      {"1,2,3,", 0x01020300u},       // a trailing comma leaves an empty field
      {"1,2,3,4,5", 0x01020304u},    // at most four rounds
      {"1, 200000, 3, 4", 0x00000100u},  // " 200000" ends the parse after its shift
      {"12345,1,1,1", 0x39010101u},       // five characters still count
      {"-1, 0, 0, 0", 0xFF000000u},   // atoi's sign, ORed in whole, then shifted
      {" 2x, 3 , 4, 5", 0x02030405u}, // atoi skips blanks and stops at a non-digit
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProductVersion(c.text), c.number) << '"' << c.text << '"';
}

struct TextCase {
  uint32_t number;
  const char* text;
};

TEST(ProductVersionTest, AppendsTheFourBytesInDecimal) {
  const TextCase cases[] = {
      {0x0300011Bu, "3.0.1.27"},     {0x01020304u, "1.2.3.4"},     {0x0A00012Cu, "10.0.1.44"},
      {0xFFFFFFFFu, "255.255.255.255"}, {0x00000001u, "0.0.0.1"}, {0x80000000u, "128.0.0.0"},
  };
  for (const auto& c : cases) {
    char out[ProductVersionTextBytes + 3] = "ab";
    EXPECT_TRUE(AppendProductVersionText(c.number, out)) << c.text;
    EXPECT_EQ(std::string(out), std::string("ab") + c.text);
  }
}

TEST(ProductVersionTest, ZeroIsNoVersionAndLeavesTheBufferUntouched) {
  char out[ProductVersionTextBytes] = "keep";
  memset(out + 5, 'x', sizeof out - 5);
  char before[sizeof out];
  memcpy(before, out, sizeof out);
  EXPECT_FALSE(AppendProductVersionText(0, out));
  EXPECT_EQ(memcmp(out, before, sizeof out), 0);
}

TEST(ProductVersionTest, TheLongestTextFillsExactlySixteenBytes) {
  char out[ProductVersionTextBytes + 1];
  memset(out, '#', sizeof out);
  out[0] = '\0';
  ASSERT_TRUE(AppendProductVersionText(0xFFFFFFFFu, out));
  EXPECT_EQ(out[ProductVersionTextBytes - 1], '\0');
  EXPECT_EQ(out[ProductVersionTextBytes], '#');
}

TEST(ProductVersionTest, SubBlockNameUsesFourUpperCaseDigitsEach) {
  char name[ProductVersionSubBlockBytes];
  ProductVersionSubBlock(0x0409, 0x04B0, name);
  EXPECT_STREQ(name, "\\StringFileInfo\\040904B0\\ProductVersion");
  ProductVersionSubBlock(0x0000, 0xFFFF, name);
  EXPECT_STREQ(name, "\\StringFileInfo\\0000FFFF\\ProductVersion");
  EXPECT_EQ(strlen(name) + 1, ProductVersionSubBlockBytes);
}

struct HexPairCase {
  const char* pair;
  int value;
};

TEST(HexPairValueTest, ReadsTwoDigitsFirstMoreSignificant) {
  const HexPairCase cases[] = {
      {"1b", 27}, {"1B", 27}, {"00", 0}, {"ff", 255}, {"FF", 255}, {"a0", 160},
      {"09", 9},  {"90", 144}, {"fA", 250}, {"g1", 1}, {"1g", 16},  // non-digits count as 0
  };
  for (const auto& c : cases) EXPECT_EQ(HexPairValue(c.pair), c.value) << c.pair;
}

TEST(HexDigitCharTest, GivesTheUpperCaseDigitOfTheLowFourBits) {
  const char digits[] = "0123456789ABCDEF";
  for (uint32_t value = 0; value < 16; ++value) EXPECT_EQ(HexDigitChar(value), digits[value]) << value;
  EXPECT_EQ(HexDigitChar(11), 'B');
  EXPECT_EQ(HexDigitChar(0x1234), '4');
  EXPECT_EQ(HexDigitChar(0xFFFFFFFAu), 'A');
}

TEST(FindCharacterTest, FindsTheFirstOccurrenceButNeverTheTerminator) {
  const char text[] = "a,b,c";
  EXPECT_EQ(FindCharacter(text, ','), text + 1);
  EXPECT_EQ(FindCharacter(text, 'c'), text + 4);
  EXPECT_EQ(FindCharacter(text, 'x'), nullptr);
  EXPECT_EQ(FindCharacter(text, '\0'), nullptr);
  EXPECT_EQ(FindCharacter("", ','), nullptr);
}

}  // namespace
