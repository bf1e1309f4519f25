#include "inventory/plugin_file_names.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayerPluginFileNameTest, TellsThePlayersFilesByTheirLeadingCharacters) {
  const struct {
    const char* name;
    bool player;
  } cases[] = {
      {"NPQuillframe3.dll", true},
      {"NpQuillframe3.dll", true},
      {"npquillframe3x.DLL", true},
      {"NpQuillframe3.dllx", true},  // only ".dll" of the extension counts
      {"NpQuillframe3.old.dll", true},
      {"NpQuillframe3.exe", false},
      {"NpQuillframe3", false},  // no extension
      {"NpQuillframe3.dll.bak", false},
      {"NpQuillframe.dll", false},
      {"XNpQuillframe3.dll", false},
      {"Quillframe3.class", true},
      {"quillframe3.CLASS", true},
      {"Quillframe3.classes", true},
      {"Quillframe3.clas", false},
      {"QFX3 runtime.zip", true},
      {"qfx3 RUNTIME", true},
      {"QFX3runtime.zip", false},
      {"QFX3 runtim", false},
      {"npnul32.dll", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlayerPluginFileName(c.name), c.player) << c.name;
}

TEST(PlayerPluginFileNameTest, NoNameIsNoPlayerFile) { EXPECT_FALSE(IsPlayerPluginFileName(nullptr)); }

}  // namespace
