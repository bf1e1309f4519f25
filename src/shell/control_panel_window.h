#pragma once
// The main control-panel window of window mode.

// Shows the main window and runs the message loop until no window is left.
void RunControlPanel();
