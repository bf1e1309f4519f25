// The same cases as the portable tests, checked against the C runtime's own
// _splitpath and _makepath.
#include "toolkit/path_parts.h"

#include <windows.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "toolkit/path_parts_cases.h"

namespace {

TEST(PathPartsWin32Test, SplitPartsAgreesWithTheRuntime) {
  for (const SplitCase& c : SplitCases) {
    char drive[_MAX_DRIVE], directory[_MAX_DIR], name[_MAX_FNAME], extension[_MAX_EXT];
    _splitpath(c.path, drive, directory, name, extension);
    FixedPath path;
    path.SetText(c.path);
    PathParts parts;
    ASSERT_TRUE(SplitParts(path, parts)) << c.path;
    EXPECT_STREQ(parts.drive, drive) << c.path;
    EXPECT_STREQ(parts.directory, directory) << c.path;
    EXPECT_STREQ(parts.name, name) << c.path;
    EXPECT_STREQ(parts.extension, extension) << c.path;
  }
}

TEST(PathPartsWin32Test, SetFromPartsAgreesWithTheRuntime) {
  for (const JoinCase& c : JoinCases) {
    char joined[_MAX_PATH];
    _makepath(joined, c.drive, c.directory, c.name, c.extension);
    FixedPath path;
    ASSERT_TRUE(SetFromParts(path, c.drive, c.directory, c.name, c.extension)) << joined;
    EXPECT_STREQ(path.Text(), joined);
  }
}

}  // namespace
