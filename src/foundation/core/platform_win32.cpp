// The Win32 side of the platform seam: the global heap, file attributes and
// the toolkit's lock; then where system libraries are
// loaded from, and the delay-load hooks of the window libraries.
#include "foundation/core/platform.h"
#include "foundation/core/platform_win32.h"

#include <windows.h>

#include <delayimp.h>

#include <cstring>
#include <string>

namespace {

// The longest path the system names: an extended-length path.
constexpr size_t LongestPathCharacters = 32768;

}  // namespace

namespace platform {

void* HeapAllocate(size_t size, bool zeroFill) {
  return GlobalAlloc(zeroFill ? GPTR : GMEM_FIXED, size);
}

void* HeapResize(void* block, size_t size, bool zeroFill) {
  UINT flags = GMEM_MOVEABLE | (zeroFill ? GMEM_ZEROINIT : 0);
  return GlobalReAlloc(block, size, flags);
}

void HeapRelease(void* block) {
  if (block) GlobalFree(block);
}

size_t HeapBlockSize(const void* block) {
  return block ? GlobalSize(const_cast<void*>(block)) : 0;
}

bool ReadPathAttributes(const char* path, uint32_t* attributes) {
  DWORD found = GetFileAttributesA(path);
  if (found == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = found;
  return true;
}

void* CreateLock() {
  // An auto-reset event: signalled means free, a wait takes it, SetEvent
  // gives it back.
  return CreateEventA(nullptr, FALSE, TRUE, nullptr);
}

bool AcquireLock(void* lock) { return WaitForSingleObject(lock, INFINITE) == WAIT_OBJECT_0; }

void ReleaseLock(void* lock) { SetEvent(lock); }

void DestroyLock(void* lock) {
  if (lock) CloseHandle(lock);
}

long AtomicIncrement(volatile long* counter) { return InterlockedIncrement(counter); }

long AtomicDecrement(volatile long* counter) { return InterlockedDecrement(counter); }

}  // namespace platform

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= LongestPathCharacters) return std::wstring();
    path.resize(path.size() * 2);
  }
}

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

std::string SystemErrorText(DWORD error) {
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text, sizeof text, nullptr);
  std::string words(text, length);
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' || words.back() == '.'))
    words.pop_back();
  const std::string number = "error " + std::to_string(error);
  return words.empty() ? number : words + " (" + number + ")";
}

void SilenceSystemErrorBoxes() {
  // For the process, every thread of it; the installer it starts inherits
  // the mode and so runs unattended too.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
}

FARPROC SystemFunction(SystemLibrary library, const char* function) {
  LoadedLibrary& loaded = systemLibraries[static_cast<int>(library)];
  if (!loaded.module) loaded.module = LoadFromSystemFolder(loaded.name);
  return loaded.module ? GetProcAddress(loaded.module, function) : nullptr;
}

HMODULE LoadLibraryByFullPath(const wchar_t* path) {
  // The flags take only a full path; a relative one is made full first, so
  // that the library is never looked for anywhere else.
  wchar_t fullPath[MAX_PATH];
  DWORD length = GetFullPathNameW(path, MAX_PATH, fullPath, nullptr);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  HMODULE module = LoadLibraryExW(fullPath, nullptr, SearchDllLoadFolder | SearchSystemFolder);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  return LoadLibraryExW(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The window libraries (user32, gdi32, winmm) are not imported by the
// program: option mode never needs them, and a library of the same name
// beside the program or in the current folder must never be loaded.
// ControlPanel.exe links them through delay-import libraries
// (delay_loaded_functions.h lists every function); the runtime's delay-load
// helper loads a library on the first call of one of its functions, asking
// the hooks below first.
//
// The notification hook loads the library from the system folder. When it
// cannot be had there, the hook hands back the program's own module, which
// exports nothing, so that the helper never searches for the library
// itself; each of its functions then fails to resolve. The failure hook
// answers that with a stand-in that returns 0 (none, false, failure), so
// that window mode fails quietly instead of crashing.

namespace {

const wchar_t* DelayLoadedLibraryName(const char* name) {
  static const struct {
    const char* name;
    const wchar_t* wideName;
  } libraries[] = {{"user32.dll", L"user32.dll"}, {"gdi32.dll", L"gdi32.dll"}, {"winmm.dll", L"winmm.dll"}};
  for (const auto& library : libraries)
    if (lstrcmpiA(library.name, name) == 0) return library.wideName;
  return nullptr;
}

// A stand-in returns 0 and, on 32-bit x86, where the called function removes
// its arguments from the stack (stdcall), removes as many bytes as the
// function it stands in for: the size of its one parameter.
#ifdef _WIN64
LONG_PTR WINAPI StandIn() { return 0; }
FARPROC StandInFor(const char*) { return reinterpret_cast<FARPROC>(&StandIn); }
#else
template <size_t Bytes>
struct ArgumentBytes {
  unsigned char bytes[Bytes];
};
template <size_t Bytes>
LONG_PTR WINAPI StandIn(ArgumentBytes<Bytes>) {
  return 0;
}
LONG_PTR WINAPI StandInWithoutArguments() { return 0; }
// The helper takes any function back as a FARPROC, the type GetProcAddress
// gives; the cast goes through void (*)(), the type C++ compilers take to
// stand for any function, so that changing the parameters is plainly meant.
template <typename Function>
FARPROC AsFarProc(Function* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}
template <size_t Bytes>
FARPROC StandInOf() {
  static_assert(Bytes % 4 == 0, "stdcall arguments take whole 4-byte slots");
  if constexpr (Bytes == 0)
    return AsFarProc(&StandInWithoutArguments);
  else
    return AsFarProc(&StandIn<Bytes>);
}

struct DelayLoadedFunction {
  const char* name;
  FARPROC standIn;
};

const DelayLoadedFunction delayLoadedFunctions[] = {
#define WINDOW_LIBRARY_FUNCTION(library, name, bytes) {#name, StandInOf<bytes>()},
#define WINDOW_LIBRARY_FUNCTION_WIN64(library, name)
#include "foundation/core/delay_loaded_functions.h"
#undef WINDOW_LIBRARY_FUNCTION
#undef WINDOW_LIBRARY_FUNCTION_WIN64
};

// None for a function that is not in the list: the helper then raises its
// error, as it would for any other library.
FARPROC StandInFor(const char* function) {
  for (const auto& known : delayLoadedFunctions)
    if (lstrcmpA(known.name, function) == 0) return known.standIn;
  return nullptr;
}
#endif

FARPROC WINAPI NotifyDelayLoad(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  const wchar_t* name = DelayLoadedLibraryName(info->szDll);
  if (!name) return nullptr;
  HMODULE module = LoadFromSystemFolder(name);
  return reinterpret_cast<FARPROC>(module ? module : GetModuleHandleW(nullptr));
}

FARPROC WINAPI FailDelayLoad(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliFailGetProc || !info->dlp.fImportByName) return nullptr;
  if (!DelayLoadedLibraryName(info->szDll)) return nullptr;
  return StandInFor(info->dlp.szProcName);
}

}  // namespace

// The runtime's delay-load helper calls these hooks by these names.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = NotifyDelayLoad;
PfnDliHook __pfnDliFailureHook2 = FailDelayLoad;
}
