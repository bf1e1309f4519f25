#pragma once
// Loading the player's libraries to let them unregister themselves, and
// releasing a plug-in library this process has loaded. The program's only
// user of LoadLibraryA, GetProcAddress, FreeLibrary and GetModuleHandleA.

enum class UnregisterResult {
  Unregistered,  // loaded, its entry called when it has one, and released
  NotLoaded,     // the library could not be loaded: nothing was called
  NotReleased,   // its entry ran, but the library could not be released
};

// Loads the library at path, calls its "DllUnregisterServer" when it exports
// one (its result is not examined), and releases it.
UnregisterResult UnregisterLibrary(const char* path);

// When a library with path is loaded in this process, releases it once, so
// that its file can be deleted.
void ReleaseLoadedLibrary(const char* path);
