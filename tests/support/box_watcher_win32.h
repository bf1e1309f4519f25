#pragma once
// Message boxes shown during a test, seen and answered by the fixture program
// box_watcher.exe: start a BoxWatcher before the code that shows boxes, and
// call Stop once that code has finished to learn which boxes it showed.

#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_folder_win32.h"

struct SeenBox {
  uintptr_t owner = 0;   // the owner window's handle, 0 for none
  std::string buttons;   // "ok", "yes,no", ...
  std::string caption;
  std::string text;
};

class BoxWatcher {
 public:
  // Starts the watcher, which presses OK in every box and answerYes ? Yes :
  // No in every Yes/No box. It ends by itself after lifetimeMs.
  explicit BoxWatcher(bool answerYes = true, DWORD lifetimeMs = 60000);
  // Stops the watcher when Stop was not called.
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Ends the watcher (waiting for it at most 30 seconds) and returns the
  // boxes it saw, in the order they appeared.
  std::vector<SeenBox> Stop();

 private:
  TempFolder folder_;
  HANDLE stop_ = nullptr;
  HANDLE process_ = nullptr;
};
