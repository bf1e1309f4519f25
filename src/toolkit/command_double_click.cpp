#include "toolkit/command_double_click.h"

#include <cstring>

namespace {

struct DoubleClickCode {
  const char* className;
  uint32_t notificationCode;
};

// Tried in this order.
constexpr DoubleClickCode DoubleClickCodes[] = {
    {"BUTTON", 5},
    {"COMBOBOX", 2},
    {"LISTBOX", 2},
    {"STATIC", 1},
};

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsDoubleClickCommand(const char* className, uint32_t notificationCode) {
  if (!className || !*className) return false;
  char upper[ClassNameCharacters + 1];
  uint32_t length = 0;
  for (; className[length] && length < ClassNameCharacters; ++length)
    upper[length] = UpperCase(className[length]);
  upper[length] = '\0';
  for (const DoubleClickCode& code : DoubleClickCodes) {
    if (strcmp(upper, code.className) == 0) return notificationCode == code.notificationCode;
  }
  return false;
}
