#include "support/navigator_keys_win32.h"

#include <windows.h>

#include "installation/installation.h"
#include "support/registry_win32.h"

NavigatorKeys::NavigatorKeys() { RemoveKeys(); }

NavigatorKeys::~NavigatorKeys() { RemoveKeys(); }

void NavigatorKeys::RemoveKeys() {
  DeleteMachineKeyTree(NavigatorKeyPath);
  // "Software\Netscape" goes only when nothing else lies below it (in the
  // 32-bit view, as every key of the tests).
  HKEY software;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software) != ERROR_SUCCESS) return;
  HKEY netscape;
  if (RegOpenKeyExA(software, "Netscape", 0, KEY_READ | KEY_WOW64_32KEY, &netscape) == ERROR_SUCCESS) {
    DWORD subkeys = 1, values = 1;
    RegQueryInfoKeyA(netscape, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(netscape);
    if (subkeys == 0 && values == 0) RegDeleteKeyExA(software, "Netscape", KEY_WOW64_32KEY, 0);
  }
  RegCloseKey(software);
}

bool NavigatorKeys::SetCurrentVersion(const std::string& version) {
  return SetMachineString(NavigatorKeyPath, CurrentVersionValueName, version);
}

bool NavigatorKeys::SetPluginsDirectory(const std::string& version, const std::string& folder) {
  std::string key = std::string(NavigatorKeyPath) + "\\" + version + "\\" + NavigatorMainSubkeyName;
  return SetMachineString(key, PluginsDirectoryValueName, folder);
}

bool NavigatorKeys::Install(const std::string& version, const std::string& folder) {
  return SetCurrentVersion(version) && SetPluginsDirectory(version, folder);
}
