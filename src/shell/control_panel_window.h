#pragma once
// The main control-panel window of window mode.

#include <windows.h>

#include "toolkit/event_record.h"

// Builds the main window, runs the message loop until no window is left, and
// releases everything. Failures of the window manager or of the window end
// window mode silently.
void RunControlPanel();

// The main window's callback: shows it when it opens, refreshes its options
// whenever it is activated, saves them and destroys its controls when it
// closes, and runs the command of each control.
uint8_t MainWindowHandler(HWND window, EventKind kind, EventRecord* record);
