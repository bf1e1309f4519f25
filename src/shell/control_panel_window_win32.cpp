#include "shell/control_panel_window.h"

// The main window is built on the window toolkit's dialogs and controls,
// which the program does not have yet: window mode ends at once.
void RunControlPanel() {}
