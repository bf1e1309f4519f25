#include "support/control_panel_copy_win32.h"

#include <windows.h>

#include "support/process_win32.h"

ControlPanelCopy::ControlPanelCopy()
    : ready_(!folder_.Path().empty() && CopyFileA(ControlPanelProgram().c_str(), Program().c_str(), TRUE)) {}
