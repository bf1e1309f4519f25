#include "support/fixtures_win32.h"

#include "support/process_win32.h"

std::string FixtureFolder() { return ThisProgramFolder() + "\\fixtures"; }

std::string FixturePath(const std::string& fileName) { return FixtureFolder() + "\\" + fileName; }
