#include "support/test_desktop_win32.h"

#include <windows.h>

namespace {

constexpr char DesktopSizesKey[] = "Software\\Wine\\Explorer\\Desktops";
constexpr char DesktopSize[] = "1600x1200";  // TestDesktopWidth x TestDesktopHeight

bool SwitchToTestDesktop() {
  // Wine's explorer reads the size of a new desktop from its registry when it
  // starts the desktop, which GetDesktopWindow waits for; then the value is
  // no longer needed, unless it was there before (a test prefix whose
  // programs all run on this desktop, scripts/test-worker.sh).
  HKEY sizes;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, DesktopSizesKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &sizes, &disposition) != ERROR_SUCCESS)
    return false;
  const bool sizeWasSet = RegQueryValueExA(sizes, TestDesktopName, nullptr, nullptr, nullptr, nullptr) ==
                          ERROR_SUCCESS;
  RegSetValueExA(sizes, TestDesktopName, 0, REG_SZ, reinterpret_cast<const BYTE*>(DesktopSize),
                 sizeof DesktopSize);
  HDESK desktop = CreateDesktopA(TestDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  bool switched = desktop && SetThreadDesktop(desktop);
  if (switched) GetDesktopWindow();
  if (!sizeWasSet) RegDeleteValueA(sizes, TestDesktopName);
  RegCloseKey(sizes);
  if (disposition == REG_CREATED_NEW_KEY) RegDeleteKeyA(HKEY_CURRENT_USER, DesktopSizesKey);
  return switched;
}

}  // namespace

bool EnterTestDesktop() {
  static const bool entered = SwitchToTestDesktop();
  return entered;
}
