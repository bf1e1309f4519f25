#include "support/screen_dpi_win32.h"

#include "toolkit/dialogs.h"

namespace {

constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char LogPixels[] = "LogPixels";

// A font handle deleted when it goes.
class OwnedFont {
 public:
  explicit OwnedFont(HFONT font) : font_(font) {}
  ~OwnedFont() {
    if (font_) DeleteObject(font_);
  }
  OwnedFont(const OwnedFont&) = delete;
  OwnedFont& operator=(const OwnedFont&) = delete;
  HFONT Get() const { return font_; }

 private:
  HFONT font_;
};

}  // namespace

ScreenDpiSetting::ScreenDpiSetting(DWORD dpi) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  DWORD type = 0;
  DWORD size = sizeof previous_;
  hadValue_ = RegQueryValueExA(key, LogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&previous_), &size) ==
                  ERROR_SUCCESS &&
              type == REG_DWORD;
  set_ = RegSetValueExA(key, LogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
         ERROR_SUCCESS;
  RegCloseKey(key);
}

ScreenDpiSetting::~ScreenDpiSetting() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (hadValue_) {
    RegSetValueExA(key, LogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_), sizeof previous_);
  } else {
    RegDeleteValueA(key, LogPixels);
  }
  RegCloseKey(key);
}

bool SeeScreenPixels() {
  // Looked up: the headers show it only to programs that require Windows 10.
  using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
  // Systems before the second version of per-screen awareness take the first.
  return set && (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != nullptr ||
                 set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) != nullptr);
}

SIZE SystemFontTextExtent(const std::string& text, uint32_t dpi) {
  SIZE extent = {0, 0};
  // This program's system font is made for its own DPI, the one it started with.
  HDC screen = GetDC(nullptr);
  if (!screen) return extent;
  const int ownDpi = GetDeviceCaps(screen, LOGPIXELSY);
  LOGFONTA system;
  if (GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system) == sizeof system) {
    system.lfHeight = ScaledPixels(system.lfHeight, dpi, static_cast<uint32_t>(ownDpi));
    system.lfWidth = ScaledPixels(system.lfWidth, dpi, static_cast<uint32_t>(ownDpi));
    OwnedFont font(CreateFontIndirectA(&system));
    HGDIOBJ previous = SelectObject(screen, font.Get());
    GetTextExtentPoint32A(screen, text.data(), static_cast<int>(text.size()), &extent);
    SelectObject(screen, previous);
  }
  ReleaseDC(nullptr, screen);
  return extent;
}
