#pragma once
// Netscape Navigator's registry keys as the component collection reads them:
// "CurrentVersion" of "Software\Netscape\Netscape Navigator" names the current
// version's key, whose subkey "Main" holds "Plugins Directory". The keys are
// removed before and after each test.

#include <string>

class NavigatorKeys {
 public:
  NavigatorKeys();
  ~NavigatorKeys();
  NavigatorKeys(const NavigatorKeys&) = delete;
  NavigatorKeys& operator=(const NavigatorKeys&) = delete;

  // Sets "CurrentVersion" to version and that version's "Plugins Directory"
  // to folder.
  bool Install(const std::string& version, const std::string& folder);
  bool SetCurrentVersion(const std::string& version);
  bool SetPluginsDirectory(const std::string& version, const std::string& folder);

 private:
  void RemoveKeys();
};
