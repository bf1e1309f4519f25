#include "toolkit/command_double_click.h"

#include "foundation/text_case.h"

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

}  // namespace

bool IsDoubleClickCommand(const char* className, uint32_t notificationCode) {
  if (!className || !*className) return false;
  for (const DoubleClickCode& code : DoubleClickCodes) {
    if (EqualIgnoringCase(className, code.className)) return notificationCode == code.notificationCode;
  }
  return false;
}
