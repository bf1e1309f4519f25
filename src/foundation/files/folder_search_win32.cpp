#include "foundation/files/folder_search_win32.h"

#include <cwchar>

#include "foundation/core/code_page.h"

bool FolderSearch::AtDotEntry() const {
  return wcscmp(entry_.cFileName, L".") == 0 || wcscmp(entry_.cFileName, L"..") == 0;
}

AnsiReach AnsiNameOf(const wchar_t* name, const wchar_t* shortName, std::string* ansi) {
  if (ExactAnsiOfWide(name, ansi) && !ansi->empty()) return AnsiReach::OwnName;
  if (shortName && *shortName && ExactAnsiOfWide(shortName, ansi) && !ansi->empty()) return AnsiReach::ShortName;
  ansi->clear();
  return AnsiReach::None;
}
