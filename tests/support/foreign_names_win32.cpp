#include "support/foreign_names_win32.h"

#include <windows.h>

#include "foundation/core/code_page.h"

namespace {

// The ANSI form the system makes of wide, look-alikes included.
std::string AnsiLookAlike(const std::wstring& wide) {
  const int count = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return std::string();
  std::string narrow(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], count, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(count - 1));
  return narrow;
}

}  // namespace

bool CodePageHolds(const wchar_t* text) {
  BOOL lost = FALSE;
  char ansi[256];
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, ansi, sizeof ansi, nullptr, &lost) > 0 && !lost;
}

std::string LookAlikeOf(const wchar_t* text) {
  const std::string ansi = AnsiLookAlike(text);
  return ansi.find('?') == std::string::npos ? ansi : std::string();
}

bool WriteFileUtf8(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(WideOfUtf8(path.c_str()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string ReadFileUtf8(const std::string& path, bool* found) {
  if (found) *found = false;
  HANDLE file = CreateFileW(WideOfUtf8(path.c_str()).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  if (found) *found = true;
  return bytes;
}

bool ExistsUtf8(const std::string& path) {
  return GetFileAttributesW(WideOfUtf8(path.c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyFileUtf8(const std::string& from, const std::string& to) {
  return CopyFileW(WideOfUtf8(from.c_str()).c_str(), WideOfUtf8(to.c_str()).c_str(), FALSE) != FALSE;
}
