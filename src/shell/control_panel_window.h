#pragma once
// The main control-panel window of window mode.

// Shows the main window and runs the message loop until no window is left.
// The main window is not built yet: for now this returns at once.
void RunControlPanel();
