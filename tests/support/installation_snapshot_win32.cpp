#include "support/installation_snapshot_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "foundation/core/code_page.h"

namespace {

std::string Hex(unsigned long long value) {
  char text[32];
  snprintf(text, sizeof text, "%llx", value);
  return text;
}

std::string FileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(cannot be read: " + std::to_string(GetLastError()) + ")";
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void SnapshotFolder(const std::wstring& folder, const std::string& relative, std::vector<std::string>& entries) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    const std::string shown = relative + Utf8OfWide(name.c_str());
    const unsigned long long written = (static_cast<unsigned long long>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                       found.ftLastWriteTime.dwLowDateTime;
    std::string entry = shown + " attributes " + Hex(found.dwFileAttributes);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      entries.push_back(entry + " (link)");
    } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entries.push_back(entry + " (folder)");
      SnapshotFolder(path, shown + "\\", entries);
    } else {
      entries.push_back(entry + " written " + Hex(written) + " bytes [" + FileBytes(path) + "]");
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void SnapshotKey(HKEY parent, const std::string& path, const std::string& name, std::vector<std::string>& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
    out.push_back(path + " (missing)");
    return;
  }
  out.push_back(path);
  std::vector<std::string> values;
  // The largest name and value the registry keeps, on the heap.
  std::string valueName(16384, '\0');
  std::string data(65536, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(valueName.size());
    DWORD type = 0;
    DWORD dataLength = static_cast<DWORD>(data.size());
    if (RegEnumValueA(key, index, &valueName[0], &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                      &dataLength) != ERROR_SUCCESS)
      break;
    values.push_back(path + " \"" + valueName.substr(0, nameLength) + "\" type " + std::to_string(type) + " [" +
                     data.substr(0, dataLength) + "]");
  }
  std::sort(values.begin(), values.end());
  for (const std::string& value : values) out.push_back(value);
  std::vector<std::string> subkeys;
  for (DWORD index = 0;; ++index) {
    char subkey[256];
    DWORD length = sizeof subkey;
    if (RegEnumKeyExA(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(std::string(subkey, length));
  }
  std::sort(subkeys.begin(), subkeys.end());
  for (const std::string& subkey : subkeys) SnapshotKey(key, path + "\\" + subkey, subkey, out);
  RegCloseKey(key);
}

}  // namespace

std::vector<std::string> TreeSnapshot(const std::string& folder) {
  std::vector<std::string> entries;
  SnapshotFolder(WideOfAnsi(folder.c_str()), std::string(), entries);
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::vector<std::string> RegistrySnapshot(const std::vector<std::string>& keyPaths) {
  std::vector<std::string> entries;
  for (const std::string& path : keyPaths) SnapshotKey(HKEY_LOCAL_MACHINE, "HKLM\\" + path, path, entries);
  return entries;
}
