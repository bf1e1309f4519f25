#include "support/registry_win32.h"

#include <vector>

namespace {

// The player's keys live in the 32-bit view, where the program looks for them.
constexpr REGSAM PlayerView = KEY_WOW64_32KEY;

}  // namespace

bool SetMachineString(const std::string& keyPath, const std::string& valueName, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | PlayerView, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                               static_cast<DWORD>(value.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string MachineString(const std::string& keyPath, const std::string& valueName, bool* found) {
  *found = false;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | PlayerView, &key) != ERROR_SUCCESS) return std::string();
  DWORD type = 0, size = 0;
  std::string value;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS) {
      *found = true;
      value.assign(data.data(), size);
      while (!value.empty() && value.back() == '\0') value.pop_back();
    }
  }
  RegCloseKey(key);
  return value;
}

bool MachineKeyExists(const std::string& keyPath) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | PlayerView, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteMachineKeyTree(const std::string& keyPath) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_ALL_ACCESS | PlayerView, &key) != ERROR_SUCCESS)
    return;
  RegDeleteTreeA(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), PlayerView, 0);
}

bool SetRawMachineValue(const std::string& keyPath, const char* name, DWORD type, const std::string& bytes) {
  const std::string data = bytes + 'X';
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | PlayerView, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG result =
      RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string RawMachineValue(const std::string& keyPath, const char* name, DWORD* type, bool* found) {
  std::string bytes;
  *type = REG_NONE;
  if (found) *found = false;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | PlayerView, &key) != ERROR_SUCCESS) return bytes;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
    bytes.resize(size + 1);
    const bool read =
        RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS;
    bytes.resize(read ? size : 0);
    if (found) *found = read;
  }
  RegCloseKey(key);
  return bytes;
}

bool StoredAsText(const std::string& stored, const std::string& text) {
  return stored == text || (!text.empty() && stored == text + '\0');
}
