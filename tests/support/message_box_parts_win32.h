#pragma once
// What the tests read off a message box of another program: the static that
// holds its text, and the names of its buttons. Shared by the window driver
// (panel_window_win32) and the box watcher fixture (fixtures/box_watcher.cpp).

#include <windows.h>

#include <string>

// The static control that holds a message box's text.
constexpr int MessageTextId = 0xFFFF;

struct BoxButton {
  int id;
  const char* name;
};
constexpr BoxButton BoxButtons[] = {{IDOK, "ok"},         {IDCANCEL, "cancel"}, {IDABORT, "abort"}, {IDRETRY, "retry"},
                                    {IDIGNORE, "ignore"}, {IDYES, "yes"},       {IDNO, "no"}};

// The names of the box's buttons in the order above, joined by ","
// ("ok", "yes,no").
inline std::string BoxButtonNames(HWND box) {
  std::string names;
  for (const BoxButton& button : BoxButtons) {
    if (!GetDlgItem(box, button.id)) continue;
    if (!names.empty()) names += ",";
    names += button.name;
  }
  return names;
}
