#pragma once
// A copy of ControlPanel.exe in a temporary folder of its own, for tests of
// the settings file the program keeps beside itself ("ControlPanelv306.ini"),
// so that no such file is ever made or changed in the build folder.

#include <string>

#include "support/temp_folder_win32.h"

class ControlPanelCopy {
 public:
  // Copies ControlPanel.exe of this build into a new temporary folder.
  ControlPanelCopy();

  // False when the copy could not be made.
  bool Ready() const { return ready_; }
  // The copied program.
  std::string Program() const { return folder_ / "ControlPanel.exe"; }
  // The path of name beside the copied program.
  std::string Beside(const std::string& name) const { return folder_ / name; }

 private:
  TempFolder folder_;
  bool ready_;
};
