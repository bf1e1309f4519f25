#include "toolkit/command_double_click.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CommandDoubleClickTest, EachClassHasItsCode) {
  const struct {
    const char* className;
    uint32_t code;
    bool doubleClick;
  } cases[] = {
      {"BUTTON", 5, true},   {"Button", 5, true},   {"button", 0, false},
      {"COMBOBOX", 2, true}, {"ComboBox", 1, false},
      {"LISTBOX", 2, true},  {"ListBox", 2, true},  {"ListBox", 1, false},
      {"STATIC", 1, true},   {"Static", 2, false},
      {"Edit", 2, false},    {"Edit", 5, false},    {"BUTTONS", 5, false},
      {"LIST", 2, false},    {"", 2, false},        {nullptr, 2, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDoubleClickCommand(c.className, c.code), c.doubleClick)
        << (c.className ? c.className : "(none)") << " " << c.code;
  }
}

TEST(CommandDoubleClickTest, LongClassNameIsLookedAtUpToItsLimit) {
  std::string name(ClassNameCharacters + 40, 'b');
  EXPECT_FALSE(IsDoubleClickCommand(name.c_str(), 5));
}

}  // namespace
