// Final paths through GetFinalPathNameByHandleW.
#include "foundation/core/final_path_win32.h"

#include <windows.h>

#include <cstring>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/core/platform_win32.h"

bool ReadFinalPath(const wchar_t* path, std::wstring* out) {
  out->clear();
  // Opened only to ask where it leads.
  FileHandle file(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file.IsOpen()) return false;
  constexpr DWORD Form = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  DWORD needed = MAX_PATH + 1;
  // The answer counts the terminator when the room was too small.
  for (int attempt = 0; attempt < 3; ++attempt) {
    out->assign(needed, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file.Get(), &(*out)[0], needed, Form);
    if (length == 0) break;
    if (length < needed) {
      out->resize(LengthWithoutTrailingSeparators(out->c_str(), length));
      return true;
    }
    needed = length;
  }
  out->clear();
  return false;
}

bool ReadFinalPath(const char* path, char* out) {
  out[0] = '\0';
  std::wstring wide;
  std::string ansi;
  if (!ReadFinalPath(WideOfAnsi(path).c_str(), &wide) || !AnsiPathOf(wide.c_str(), &ansi) ||
      ansi.size() >= FinalPathBytes)
    return false;
  memcpy(out, ansi.c_str(), ansi.size() + 1);
  return true;
}

bool LeadsElsewhere(const std::wstring& folderFinal, const wchar_t* entryPath, const wchar_t* name) {
  std::wstring entryFinal;
  if (!ReadFinalPath(entryPath, &entryFinal)) return false;
  const size_t folderLength = folderFinal.size();
  if (entryFinal.size() != folderLength + 1 + wcslen(name)) return true;
  // Compared without regard to case, as the file system names them.
  return CompareStringOrdinal(entryFinal.c_str(), static_cast<int>(folderLength), folderFinal.c_str(),
                              static_cast<int>(folderLength), TRUE) != CSTR_EQUAL ||
         !IsPathSeparator(entryFinal[folderLength]) ||
         CompareStringOrdinal(entryFinal.c_str() + folderLength + 1, -1, name, -1, TRUE) != CSTR_EQUAL;
}
