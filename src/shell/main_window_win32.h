#pragma once
// The main control-panel window: its controls, its commands and the window
// mode that runs it.

#include <windows.h>

#include <cstdint>

#include "shell/window_commands_win32.h"
#include "toolkit/dialogs.h"
#include "toolkit/events_win32.h"

// The main control-panel window: its title and its seven controls, one
// column top to bottom, in the 96-DPI layout pixels of a 250 x 249 client
// area (scaled to the screen's DPI), Tab going through them in this order.

// The title is this text followed by the program's product version
// ("Corvalent Control Panel 3.0.6.0"), or this text alone without one.
constexpr const char* MainWindowTitlePrefix = "Corvalent Control Panel ";
constexpr int32_t MainWindowClientWidth = 250;
constexpr int32_t MainWindowClientHeight = 249;
// The frame the window is created with, before its client area is set.
constexpr int32_t MainWindowCreateWidth = 250;
constexpr int32_t MainWindowCreateHeight = 250;

struct MainWindowControl {
  int32_t id;
  bool checkBox;  // else a push button
  const char* caption;
  Rect rect;
};

constexpr MainWindowControl MainWindowControls[] = {
    {UninstallCommandId, false, "Uninstall Corvalent Media Player", {2, 5, 248, 45}},
    {ListComponentsCommandId, false, "List Installed QLX Components...", {2, 75, 248, 99}},
    {InstallPathCommandId, false, "Display QLX Install Path...", {2, 100, 248, 124}},
    {CacheCommandId, false, "Delete QLX Resource Cache", {2, 125, 248, 149}},
    {CheckForUpdatesCommandId, true, "Check for Updates", {8, 175, 248, 200}},
    {PublicBetaCommandId, true, "Participate QLX Public Beta", {8, 200, 248, 216}},
    {OkCommandId, false, "Ok", {2, 224, 248, 249}},
};

// The safe control: the one that has the focus when the window opens, and
// the default button that Enter presses.
constexpr int32_t MainWindowDefaultCommandId = OkCommandId;

// Window mode.

// Builds the main window, runs the message loop until no window is left, and
// releases everything. Failures of the window manager or of the window end
// window mode silently.
void RunControlPanel();

// The main window's callback: shows it when it opens, refreshes its options
// whenever it is activated, saves them and destroys its controls when it
// closes, and runs the command of each control.
uint8_t MainWindowHandler(HWND window, EventKind kind, EventRecord* record);
