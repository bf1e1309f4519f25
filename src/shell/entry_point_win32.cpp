#include <windows.h>
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) { return 0; }
