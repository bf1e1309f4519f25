#pragma once
// Host-only additions to the platform seam, for the native test build.

namespace platform {

// The path ReadProgramFileName reports on the host, where no Windows program
// file exists. Starts as C:\Corvalent\ControlPanel.exe; tests may change it.
void SetHostProgramFileName(const char* path);

}  // namespace platform
