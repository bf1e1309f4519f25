#pragma once
// The base of the option tests: a player installed before each test (its
// keys and component folder, see PlayerInstallation), and the paths in its
// component folder.

#include <gtest/gtest.h>

#include <string>

#include "support/player_installation_win32.h"

class InstalledPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Install()); }
  // relative (such as "Resources\\a.bin") in the component folder.
  std::string Component(const std::string& relative) const { return player.ComponentFolder() + "\\" + relative; }

  PlayerInstallation player;
};
