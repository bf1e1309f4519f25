#pragma once
// The screen's DPI for the window tests: Wine's "LogPixels" setting, which a
// program reads when it starts, and measuring another program's windows in
// the pixels of the screen.

#include <windows.h>

#include <cstdint>
#include <string>

// Sets "LogPixels" (REG_DWORD in HKEY_CURRENT_USER\Control Panel\Desktop) for
// the programs started from now on, and puts back what was there (a value, or
// none) when it goes.
class ScreenDpiSetting {
 public:
  explicit ScreenDpiSetting(DWORD dpi);
  ~ScreenDpiSetting();
  ScreenDpiSetting(const ScreenDpiSetting&) = delete;
  ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;

  bool Set() const { return set_; }

 private:
  bool set_ = false;
  bool hadValue_ = false;
  DWORD previous_ = 0;
};

// Makes this thread see every window in the screen's pixels, whatever the
// DPI of the program that owns it (as a DPI-aware program does); without it
// the system reports the windows of a DPI-aware program scaled to 96 DPI.
// False where the system cannot.
bool SeeScreenPixels();

// The extent of text drawn in the system font of a program started at dpi
// (the font that the controls of such a program draw in), measured here.
SIZE SystemFontTextExtent(const std::string& text, uint32_t dpi);
