// The floor for start-up measurements: a Win32 program that does nothing,
// linked the same way as ControlPanel.exe.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
