#pragma once
// The record of the fixture library PlayerControl.dll: each copy of it that
// is asked to unregister itself appends its own path (UTF-8, as the library
// was loaded) to the file named by CPANEL_UNREGISTER_LOG, and each copy that
// is loaded appends it to the file named by CPANEL_LOAD_LOG. The logs live in a folder of its own, outside any
// player installation, so that it survives the uninstall.

#include <string>
#include <vector>

#include "support/fixtures_win32.h"  // CopyFixture, to put PlayerControl.dll in place
#include "support/temp_folder_win32.h"

class UnregisterLog {
 public:
  // Points CPANEL_UNREGISTER_LOG and CPANEL_LOAD_LOG (of this process and the
  // programs it starts) at fresh logs.
  UnregisterLog();
  ~UnregisterLog();
  UnregisterLog(const UnregisterLog&) = delete;
  UnregisterLog& operator=(const UnregisterLog&) = delete;

  // The file names of the libraries that unregistered, in call order.
  std::vector<std::string> Libraries() const;
  // The file names of the libraries that were loaded (CPANEL_LOAD_LOG), in
  // load order: a library is loaded before it can unregister.
  std::vector<std::string> Loaded() const;

 private:
  TempFolder folder_;
};
