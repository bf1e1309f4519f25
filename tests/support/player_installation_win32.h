#pragma once
// A player installation for end-to-end tests: a component folder in a fresh
// temporary folder, and the player's keys in the registry. The keys are
// removed before and after each test.

#include <string>

#include "support/temp_folder_win32.h"

class PlayerInstallation {
 public:
  PlayerInstallation();
  ~PlayerInstallation();

  // The temporary folder that holds everything of the test.
  const TempFolder& Root() const { return root_; }
  // root\Player: made by Install.
  std::string ComponentFolder() const { return root_ / "Player"; }
  // Makes the component folder and points "Component Path" at it.
  bool Install();
  // Points "Component Path" at any text.
  bool SetComponentPath(const std::string& value);
  // Points the maker key's "Application Path" at any text.
  bool SetApplicationPath(const std::string& value);

 private:
  void RemoveKeys();
  TempFolder root_;
};
