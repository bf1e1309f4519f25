#include "foundation/files/product_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/fixtures_win32.h"
#include "support/path_of.h"

namespace {

struct FixtureCase {
  const char* library;
  uint32_t number;
  const char* text;  // none: no version
};

// The fixture libraries and the product version strings they carry are
// listed in tests/fixtures/CMakeLists.txt.
const FixtureCase fixtureCases[] = {
    {"VersionSpaced.dll", 0x0300011Bu, "3.0.1.27"},             // "3, 0, 1, 27"
    {"VersionPlain.dll", 0x01020304u, "1.2.3.4"},               // "1,2,3,4"
    {"VersionOverflow.dll", 0x0A00012Cu, "10.0.1.44"},          // "10, 0, 0, 300"
    {"VersionDotted.dll", 0u, nullptr},                         // "3.0.1.27"
    {"VersionZero.dll", 0u, nullptr},                           // "0, 0, 0, 0"
    {"VersionHighest.dll", 0xFFFFFFFFu, "255.255.255.255"},     // "255, 255, 255, 255"
    {"VersionShort.dll", 0x03010000u, "3.1.0.0"},               // "3, 1"
    {"VersionLongField.dll", 0x00000100u, "0.0.1.0"},           // "1, 200000, 3, 4"
    {"VersionOtherLanguage.dll", 0u, nullptr},                  // table 0407, translation 0409
    {"VersionOtherCodePage.dll", 0u, nullptr},                  // table 04E4, translation 04B0
    {"VersionTwoTranslations.dll", 0x02050001u, "2.5.0.1"},     // table of the first of two
    {"NoVersion.dll", 0u, nullptr},
    {"Missing.dll", 0u, nullptr},
};

TEST(ReadProductVersionTest, ReadsTheStringOfTheFirstTranslation) {
  for (const auto& c : fixtureCases) {
    EXPECT_EQ(ReadProductVersion(PathOf(FixturePath(c.library))), c.number) << c.library;
  }
}

TEST(FormatProductVersionTest, AppendsTheTextOrLeavesTheBufferUntouched) {
  for (const auto& c : fixtureCases) {
    char out[ProductVersionTextBytes + 8] = "v=";
    memset(out + 3, '#', sizeof out - 4);
    out[sizeof out - 1] = '\0';
    char before[sizeof out];
    memcpy(before, out, sizeof out);
    bool found = FormatProductVersion(PathOf(FixturePath(c.library)), out);
    if (c.text) {
      EXPECT_TRUE(found) << c.library;
      EXPECT_EQ(std::string(out), std::string("v=") + c.text) << c.library;
    } else {
      EXPECT_FALSE(found) << c.library;
      EXPECT_EQ(memcmp(out, before, sizeof out), 0) << c.library;
    }
  }
}

TEST(ReadProductVersionTest, AFileWithoutResourcesOrAnEmptyPathHasNone) {
  EXPECT_EQ(ReadProductVersion(PathOf(FixtureFolder())), 0u);
  EXPECT_EQ(ReadProductVersion(FixedPath()), 0u);
}

}  // namespace
