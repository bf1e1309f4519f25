#include "support/fixtures_win32.h"

#include <windows.h>

#include "support/process_win32.h"
#include "support/temp_folder_win32.h"

std::string FixtureFolder() { return ThisProgramFolder() + "\\fixtures"; }

std::string FixturePath(const std::string& fileName) { return FixtureFolder() + "\\" + fileName; }

bool CopyFixture(const std::string& fileName, const std::string& destination) {
  size_t slash = destination.find_last_of('\\');
  if (slash != std::string::npos && !MakeFolders(destination.substr(0, slash))) return false;
  return CopyFileA(FixturePath(fileName).c_str(), destination.c_str(), FALSE) != 0;
}
