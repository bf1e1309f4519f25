#pragma once
// The fixture libraries built with the tests (tests/fixtures), which lie in
// the folder "fixtures" beside the test programs.

#include <string>

// The folder of the fixtures, without a trailing backslash.
std::string FixtureFolder();

// FixtureFolder() + "\" + fileName, for example FixturePath("VersionSpaced.dll").
std::string FixturePath(const std::string& fileName);

// Copies the fixture fileName to destination, making destination's folders.
bool CopyFixture(const std::string& fileName, const std::string& destination);
