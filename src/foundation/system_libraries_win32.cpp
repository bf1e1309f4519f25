#include "foundation/system_libraries_win32.h"

namespace {

// The search flags of LoadLibraryExW and SetDefaultDllDirectories (Windows 8,
// and Windows 7 with its loader update).
constexpr DWORD SearchDllLoadFolder = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD SearchSystemFolder = 0x00000800;   // LOAD_LIBRARY_SEARCH_SYSTEM32

typedef BOOL(WINAPI* SetDefaultDllDirectoriesCall)(DWORD);

struct LoadedLibrary {
  const wchar_t* name;
  HMODULE module;
};

// In the order of SystemLibrary.
LoadedLibrary systemLibraries[] = {{L"version.dll", nullptr}, {L"shell32.dll", nullptr}, {L"user32.dll", nullptr},
                                   {L"gdi32.dll", nullptr},   {L"winmm.dll", nullptr}};

// A system without the search flags refuses them as an invalid parameter; it
// is then given the library's full path in the system folder.
HMODULE LoadFromSystemFolder(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, SearchSystemFolder);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  wchar_t path[MAX_PATH];
  UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
  path[length] = L'\\';
  lstrcpyW(path + length + 1, name);
  return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

bool RestrictLibrarySearch() {
  // Looked up, not imported: without the loader update the program must still start.
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto restrict = kernel ? reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void*>(
                               GetProcAddress(kernel, "SetDefaultDllDirectories")))
                         : nullptr;
  return restrict && restrict(SearchSystemFolder);
}

FARPROC SystemFunction(SystemLibrary library, const char* function) {
  LoadedLibrary& loaded = systemLibraries[static_cast<int>(library)];
  if (!loaded.module) loaded.module = LoadFromSystemFolder(loaded.name);
  return loaded.module ? GetProcAddress(loaded.module, function) : nullptr;
}

HMODULE LoadLibraryByFullPath(const char* path) {
  // The flags take only a full path; a relative one is made full first, so
  // that the library is never looked for anywhere else.
  char fullPath[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, fullPath, nullptr);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  HMODULE module = LoadLibraryExA(fullPath, nullptr, SearchDllLoadFolder | SearchSystemFolder);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadLibraryExA(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
