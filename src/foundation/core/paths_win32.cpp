// The Win32 side of paths: the program's own file name, read as stored and
// given in the form the ANSI calls reach it.
#include "foundation/core/paths.h"

#include <cstring>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/platform_win32.h"

uint32_t ReadProgramFileName(char* buffer, uint32_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  // Read as stored and given in the form the ANSI calls reach it: in a
  // folder named outside the ANSI code page ("C:\Ωtools") the ANSI name
  // would hold a "?" and open nothing.
  const std::wstring path = ProgramPath();
  std::string ansi;
  // A name that does not fit would be cut: treat that as unreadable.
  if (path.empty() || !AnsiPathOf(path.c_str(), &ansi) || ansi.size() >= capacity) return 0;
  memcpy(buffer, ansi.c_str(), ansi.size() + 1);
  return static_cast<uint32_t>(ansi.size());
}
