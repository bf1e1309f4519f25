#pragma once
// The recovery reinstall ("-rcvr"): uninstall the player, then start its full
// installer "QLXFullInstall.exe" from the application folder silently ("-s")
// without waiting for it.

#include <cstdint>

// The result code of "-rcvr": 1 when the application folder or the component
// folder is not found; otherwise 1 when the installer was started and 0 when
// starting it failed. The uninstall's own outcome is not part of it.
int32_t RunRecoveryOption();

// Starts the program at path through the shell (verb "open") with
// parameters, shown normally, without waiting for it. True when it started.
bool StartInstaller(const char* path, const char* parameters);
