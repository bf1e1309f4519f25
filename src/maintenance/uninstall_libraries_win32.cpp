// The player's libraries over LoadLibraryA and its kin.
#include <windows.h>

#include "maintenance/uninstall_libraries.h"
#include "maintenance/uninstall_names.h"

namespace {

typedef HRESULT(WINAPI* UnregisterEntry)();

}  // namespace

UnregisterResult UnregisterLibrary(const char* path) {
  HMODULE library = LoadLibraryA(path);
  if (!library) return UnregisterResult::NotLoaded;
  FARPROC entry = GetProcAddress(library, UnregisterEntryName);
  if (entry) reinterpret_cast<UnregisterEntry>(reinterpret_cast<void*>(entry))();
  return FreeLibrary(library) ? UnregisterResult::Unregistered : UnregisterResult::NotReleased;
}

void ReleaseLoadedLibrary(const char* path) {
  HMODULE loaded = GetModuleHandleA(path);
  if (loaded) FreeLibrary(loaded);
}
