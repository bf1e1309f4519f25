#pragma once
// Driving the real ControlPanel.exe in window mode as a person would, from
// this (separate) test program: start it on the test desktop (a Wine
// virtual desktop, so that activation and focus behave as on Windows), find
// its windows by title, read their controls, click, press keys, and read and
// answer its message boxes.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/box_watcher_win32.h"
#include "support/temp_folder_win32.h"
#include "toolkit/dialogs.h"

// What a person sees of one control.
struct ControlView {
  bool present = false;
  std::string className;
  std::string caption;
  Rect rect = {};  // in the dialog's client pixels
  bool enabled = false;
  bool checked = false;
};

class PanelWindowSession {
 public:
  // Starts program (ControlPanel.exe of this build by default) with the
  // command-line text arguments (none: window mode) on the test desktop, in
  // workingFolder (none: a fresh temporary folder, removed with the session).
  // withoutStandardHandles: no standard input, output or error at all, as a
  // shortcut or the Run box starts a program.
  explicit PanelWindowSession(const std::string& program = std::string(),
                              const std::string& arguments = std::string(),
                              const std::string& workingFolder = std::string(), bool withoutStandardHandles = false);
  // Closes what is still open and ends the program if it does not end.
  ~PanelWindowSession();
  PanelWindowSession(const PanelWindowSession&) = delete;
  PanelWindowSession& operator=(const PanelWindowSession&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD ProcessId() const { return processId_; }

  // The program's visible top-level window whose title is title, waiting for
  // it at most timeoutMs; none when it does not come.
  HWND WaitForWindow(const std::string& title, DWORD timeoutMs = 20000) const;
  // The program's main window ("Corvalent Control Panel " and a version).
  HWND WaitForMainWindow(DWORD timeoutMs = 20000) const;
  // Waits until no window of the program has title.
  bool WaitForWindowGone(const std::string& title, DWORD timeoutMs = 20000) const;

  // The program's next message box that was not returned before: caption,
  // text, buttons and owner; window none when no box came in time.
  struct Box {
    HWND window = nullptr;
    SeenBox seen;
  };
  Box WaitForBox(DWORD timeoutMs = 20000);
  // Whether any message box of the program is open now.
  bool AnyBoxOpen() const;

  // Waits for the program to end; false when it does not in time.
  bool WaitForExit(int32_t* exitCode, DWORD timeoutMs = 30000);

 private:
  std::unique_ptr<TempFolder> currentFolder_;  // when the caller named none; outlives the program
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  std::vector<HWND> boxesSeen_;
};

// The dialog's control with id, as it looks now.
ControlView ReadControl(HWND dialog, int id);
// Clicks the button or box with id as a mouse click would; false (nothing
// clicked) when it is missing or disabled.
bool ClickControl(HWND dialog, int id);
// Presses a button of a message box (IDOK, IDYES, IDNO ...) and waits until
// the box is gone; false when the box has no such button or stays.
bool AnswerBox(HWND box, int buttonId);
// Polls condition every 20 ms until it holds; false once timeoutMs have
// passed without it. Every wait of the window tests goes through it.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

// Waits until window is destroyed (a box goes away a moment after it is
// answered, and its owner is enabled again only then); false after 20 s.
bool WaitUntilDestroyed(HWND window);
// Brings window to the front and types the key, as the keyboard would,
// through the system's input queue (SendInput); with a modifier (VK_SHIFT ...)
// held down around it.
bool PressKey(HWND window, WORD virtualKey, WORD modifier = 0);
// Posts the key's down and up messages to target (a window or a control of
// another program), as automation and accessibility tools send keys: the
// system's keyboard state never sees them.
bool PostKey(HWND target, WORD virtualKey);
// The control of window's program that has the keyboard focus now, or none.
HWND FocusedControl(HWND window);
// Waits until the focus is on the control of dialog with id; false after 5 s.
bool WaitForFocus(HWND dialog, int id);
// The lines of a list box of another program, in order.
std::vector<std::string> ListBoxLines(HWND listBox);
// The same lines as stored, in UTF-8: characters the ANSI code page cannot
// hold included.
std::vector<std::string> ListBoxLinesUtf8(HWND listBox);
// The client size of a window.
Rect ClientRect(HWND window);
// Asks a window to close, as the system does (WM_CLOSE).
bool RequestClose(HWND window);
