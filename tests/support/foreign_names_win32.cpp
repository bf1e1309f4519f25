#include "support/foreign_names_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

std::wstring Wide(const std::string& utf8) {
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], count);
  wide.resize(static_cast<size_t>(count - 1));
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
  const int count = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return std::string();
  std::string narrow(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(codePage, 0, wide.c_str(), -1, &narrow[0], count, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(count - 1));
  return narrow;
}

void AddTree(const std::wstring& folder, std::vector<std::string>& entries) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entries.push_back(Narrow(path, CP_UTF8) + "\\");
      AddTree(path, entries);
    } else {
      entries.push_back(Narrow(path, CP_UTF8) + "\n" + ReadFileUtf8(Narrow(path, CP_UTF8)));
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

bool CodePageHolds(const wchar_t* text) {
  BOOL lost = FALSE;
  char ansi[256];
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, ansi, sizeof ansi, nullptr, &lost) > 0 && !lost;
}

std::string LookAlikeOf(const wchar_t* text) {
  const std::string ansi = Narrow(text, CP_ACP);
  return ansi.find('?') == std::string::npos ? ansi : std::string();
}

bool WriteFileUtf8(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string ReadFileUtf8(const std::string& path, bool* found) {
  if (found) *found = false;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  if (found) *found = true;
  return bytes;
}

bool ExistsUtf8(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool CopyFileUtf8(const std::string& from, const std::string& to) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE) != FALSE;
}

std::string TreeStateUtf8(const std::string& folder) {
  std::vector<std::string> entries;
  AddTree(Wide(folder), entries);
  std::sort(entries.begin(), entries.end());
  std::string state;
  for (const std::string& entry : entries) state += entry + "\n";
  return state;
}
