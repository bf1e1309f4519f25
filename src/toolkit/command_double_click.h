#pragma once
// Whether a command from a control is that control's double-click
// notification. The notification code that means a double click depends on
// the control's window class, compared without regard to case: "BUTTON" 5
// (BN_DOUBLECLICKED), "COMBOBOX" 2 (CBN_DBLCLK), "LISTBOX" 2 (LBN_DBLCLK),
// "STATIC" 1 (STN_DBLCLK). Any other class, or none (a menu or accelerator
// command), never is.

#include <cstdint>

// The longest class name looked at; the system gives at most this many
// characters into a buffer one byte larger.
constexpr uint32_t ClassNameCharacters = 255;

bool IsDoubleClickCommand(const char* className, uint32_t notificationCode);
