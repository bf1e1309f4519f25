#include "support/temp_folder_win32.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::string ParentOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Ends the test program: a test without its folder would work on whatever
// an empty path names (the current drive's root) instead.
[[noreturn]] void FailWithoutFolder(const char* what, const char* path) {
  fprintf(stderr, "TempFolder: %s \"%s\" (error %lu)\n", what, path, GetLastError());
  fflush(stderr);
  abort();
}

}  // namespace

TempFolder::TempFolder() {
  char base[MAX_PATH];
  DWORD length = GetTempPathA(sizeof base, base);
  if (length == 0 || length >= sizeof base) FailWithoutFolder("no temporary folder", "");
  static unsigned counter = 0;
  for (;;) {
    char name[MAX_PATH + 64];
    snprintf(name, sizeof name, "%scpanel-%lu-%u", base, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) {
      path_ = name;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) FailWithoutFolder("cannot make", name);
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemovePath(path_);
}

std::string TempFolder::operator/(const std::string& relative) const { return path_ + "\\" + relative; }

bool MakeFolders(const std::string& path) {
  if (path.empty() || PathExists(path)) return true;
  std::string parent = ParentOf(path);
  if (!parent.empty() && parent.back() != ':' && !MakeFolders(parent)) return false;
  return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteTextFile(const std::string& path, const std::string& bytes) {
  std::string parent = ParentOf(path);
  if (!parent.empty()) MakeFolders(parent);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadTextFile(const std::string& path, bool* found) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (found) *found = file != INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

// Removes by wide names and extended-length paths, so that names outside the
// code page and paths past MAX_PATH that a test made go too.
void RemoveWidePath(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  // A link to a folder is removed itself, never followed.
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") RemoveWidePath(path + L"\\" + name);
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

void RemovePath(const std::string& path) {
  wchar_t full[MAX_PATH];
  std::wstring given(path.begin(), path.end());  // test paths are ASCII
  DWORD length = GetFullPathNameW(given.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return;
  std::wstring extended(full, length);
  if (extended.compare(0, 2, L"\\\\") != 0) extended = L"\\\\?\\" + extended;
  while (extended.size() > 7 && extended.back() == L'\\') extended.pop_back();
  RemoveWidePath(extended);
}

const std::string& CurrentFolderFor(const std::string& given, std::unique_ptr<TempFolder>& owned) {
  if (!given.empty()) return given;
  owned = std::make_unique<TempFolder>();
  return owned->Path();
}
