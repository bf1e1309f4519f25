// The player's libraries over LoadLibraryExA and its kin: each is loaded by
// its full path, its dependencies looked for beside it and in the system
// folder, never in the program's folder or the current folder.
#include <windows.h>

#include "foundation/system_libraries_win32.h"
#include "maintenance/uninstall_libraries.h"
#include "maintenance/uninstall_names.h"

namespace {

typedef HRESULT(WINAPI* UnregisterEntry)();

}  // namespace

UnregisterResult UnregisterLibrary(const char* path) {
  HMODULE library = LoadLibraryByFullPath(path);
  if (!library) return UnregisterResult::NotLoaded;
  FARPROC entry = GetProcAddress(library, UnregisterEntryName);
  if (entry) reinterpret_cast<UnregisterEntry>(reinterpret_cast<void*>(entry))();
  return FreeLibrary(library) ? UnregisterResult::Unregistered : UnregisterResult::NotReleased;
}

void ReleaseLoadedLibrary(const char* path) {
  HMODULE loaded = GetModuleHandleA(path);
  if (loaded) FreeLibrary(loaded);
}
