#include "support/registry_win32.h"

#include <vector>

bool SetMachineString(const std::string& keyPath, const std::string& valueName, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
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
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::string();
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
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteMachineKeyTree(const std::string& keyPath) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    std::string child = keyPath + "\\" + name;
    DeleteMachineKeyTree(child);
    if (MachineKeyExists(child)) break;  // cannot be removed: do not spin on it
  }
  RegCloseKey(key);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
}

bool SetRawMachineValue(const std::string& keyPath, const char* name, DWORD type, const std::string& bytes) {
  const std::string data = bytes + 'X';
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
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
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return bytes;
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
