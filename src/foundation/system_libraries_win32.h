#pragma once
// Where libraries come from. ControlPanel.exe imports only what every Windows
// process has loaded anyway (kernel32, advapi32, the C runtime); the other
// system libraries it needs (version, shell32, user32, gdi32, winmm) are loaded when first
// used, and only from the system folder, so that a library of the same name
// in the program's folder or the current folder is never run, and option
// mode starts without them.
#include <windows.h>

// The system libraries loaded on first use.
enum class SystemLibrary { Version, Shell, User, Gdi, Multimedia };

// Makes the system folder the only place the process looks for libraries
// loaded without a full path (SetDefaultDllDirectories). The entry point calls
// it before anything else. False where the system lacks the call; the
// libraries above are loaded from the system folder all the same.
bool RestrictLibrarySearch();

// The address of function in library, loaded from the system folder on first
// use and kept until the process ends; none when either cannot be found.
FARPROC SystemFunction(SystemLibrary library, const char* function);

// SystemFunction cast to the function's own type.
template <typename Function>
Function SystemFunctionAs(SystemLibrary library, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(library, function)));
}

// Loads a library by its full path, its own dependencies looked for beside it
// and in the system folder only. None when it cannot be loaded.
HMODULE LoadLibraryByFullPath(const char* path);
