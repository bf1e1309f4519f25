#pragma once
// The record of the fixture library PlayerControl.dll: each copy of it that
// is asked to unregister itself appends its own path to the file named by
// CPANEL_UNREGISTER_LOG. The log lives in a folder of its own, outside any
// player installation, so that it survives the uninstall.

#include <string>
#include <vector>

#include "support/fixtures_win32.h"  // CopyFixture, to put PlayerControl.dll in place
#include "support/temp_folder_win32.h"

class UnregisterLog {
 public:
  // Points CPANEL_UNREGISTER_LOG (of this process and the programs it starts)
  // at a fresh log.
  UnregisterLog();
  ~UnregisterLog();
  UnregisterLog(const UnregisterLog&) = delete;
  UnregisterLog& operator=(const UnregisterLog&) = delete;

  // The file names of the libraries that unregistered, in call order.
  std::vector<std::string> Libraries() const;

 private:
  TempFolder folder_;
};
