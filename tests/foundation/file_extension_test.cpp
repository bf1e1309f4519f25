#include "foundation/file_extension.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ExtensionCase {
  const char* text;
  const char* extension;
};

TEST(FileExtensionTest, IsTheTextFromTheLastDotOfTheName) {
  const ExtensionCase cases[] = {
      {"C:\\dir\\file.dll", ".dll"},
      {"file.DLL", ".DLL"},
      {"archive.tar.gz", ".gz"},           // several dots: the last one
      {"C:\\dir\\README", ""},             // none
      {"C:\\dir.d\\README", ""},           // a dot in a folder name is not the file's
      {"dir.d/README", ""},
      {"C:.hidden", ".hidden"},            // after the drive's colon
      {"C:name", ""},
      {"file.", "."},
      {".profile", ".profile"},
      {"", ""},
      {"a.b\\c.d/e.f", ".f"},
  };
  for (const auto& c : cases) {
    const char* extension = FileExtension(c.text);
    EXPECT_STREQ(extension, c.extension) << c.text;
    // A position in the text itself, the terminator when empty.
    EXPECT_GE(extension, c.text);
    EXPECT_EQ(extension + std::string(extension).size(), c.text + std::string(c.text).size());
  }
}

}  // namespace
