// The Win32 side of the platform seam: the global heap, file attributes, the
// module file name and the toolkit's lock; then where system libraries are
// loaded from, and the import table of the window libraries.
#include "foundation/platform.h"
#include "foundation/platform_win32.h"

#include <windows.h>

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

uint32_t ReadProgramFileName(char* buffer, uint32_t capacity) {
  if (capacity == 0) return 0;
  DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
  // A full buffer means the name was cut; treat that as unreadable.
  if (length == 0 || length >= capacity) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
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

// The window libraries (user32, gdi32, winmm) are not imported by the
// program: option mode never needs them, and a library of the same name
// beside the program or in the current folder must never be loaded. Every
// function of theirs that the program calls is listed below instead.
//
// A call to such a function compiles, as any call to a system function, to a
// jump through its import pointer (__imp__Name@ArgumentBytes). Here that
// pointer first leads to a stub, which loads the library from the system
// folder (SystemFunction), puts the function's address in the pointer and
// goes on into the function with the caller's arguments untouched; later
// calls go straight to it. When the library or the function cannot be had,
// the pointer leads to a stand-in that returns 0 (none, false, failure) and
// removes the arguments, so window mode fails quietly instead of crashing.
//
// A function missing from the list is a link error: the program is not
// linked with these libraries' import libraries.

static_assert(sizeof(void*) == 4, "the stubs follow the 32-bit stdcall convention");

namespace {

struct WindowLibraryImport {
  SystemLibrary library;
  const char* name;
  void** pointer;    // the import pointer the calls go through
  void* standIn;     // returns 0 and removes the arguments
};

}  // namespace

// Called by every stub with its entry: the address to go on to.
extern "C" void* __stdcall ResolveWindowLibraryImport(WindowLibraryImport* import) asm("_ResolveWindowLibraryImport@4");
extern "C" void* __stdcall ResolveWindowLibraryImport(WindowLibraryImport* import) {
  void* function = reinterpret_cast<void*>(SystemFunction(import->library, import->name));
  *import->pointer = function ? function : import->standIn;
  return *import->pointer;
}

// What every stub does once it has pushed its entry: resolve, then jump to the
// function as if the caller had called it (the entry is taken off the stack by
// the stdcall resolver; the caller's return address and arguments stay).
asm(".text\n"
    "_WindowLibraryImportStub:\n"
    "\tcall _ResolveWindowLibraryImport@4\n"
    "\tjmp *%eax\n");

#define WINDOW_LIBRARY_IMPORT(library, name, bytes)                                                            \
  extern "C" void WindowLibraryStub_##name() asm("_WindowLibraryStub_" #name);                                  \
  extern "C" void WindowLibraryStandIn_##name() asm("_WindowLibraryStandIn_" #name);                            \
  extern "C" void* WindowLibraryPointer_##name asm("__imp__" #name "@" #bytes);                                  \
  void* WindowLibraryPointer_##name = reinterpret_cast<void*>(&WindowLibraryStub_##name);                       \
  extern "C" WindowLibraryImport WindowLibraryEntry_##name asm("_WindowLibraryEntry_" #name);                   \
  WindowLibraryImport WindowLibraryEntry_##name = {SystemLibrary::library, #name, &WindowLibraryPointer_##name, \
                                                   reinterpret_cast<void*>(&WindowLibraryStandIn_##name)};      \
  asm(".text\n"                                                                                                  \
      "_WindowLibraryStub_" #name ":\n"                                                                          \
      "\tpushl $_WindowLibraryEntry_" #name "\n"                                                                 \
      "\tjmp _WindowLibraryImportStub\n"                                                                         \
      "_WindowLibraryStandIn_" #name ":\n"                                                                       \
      "\txorl %eax, %eax\n"                                                                                      \
      "\tret $" #bytes "\n");

// user32
WINDOW_LIBRARY_IMPORT(User, AdjustWindowRectEx, 16)
WINDOW_LIBRARY_IMPORT(User, BeginPaint, 8)
WINDOW_LIBRARY_IMPORT(User, CheckDlgButton, 12)
WINDOW_LIBRARY_IMPORT(User, ClientToScreen, 8)
WINDOW_LIBRARY_IMPORT(User, CreateDialogIndirectParamA, 20)
WINDOW_LIBRARY_IMPORT(User, CreateWindowExA, 48)
WINDOW_LIBRARY_IMPORT(User, DestroyWindow, 4)
WINDOW_LIBRARY_IMPORT(User, DispatchMessageA, 4)
WINDOW_LIBRARY_IMPORT(User, EnableWindow, 8)
WINDOW_LIBRARY_IMPORT(User, EndPaint, 8)
WINDOW_LIBRARY_IMPORT(User, GetClassNameA, 12)
WINDOW_LIBRARY_IMPORT(User, GetClientRect, 8)
WINDOW_LIBRARY_IMPORT(User, GetDC, 4)
WINDOW_LIBRARY_IMPORT(User, GetDlgCtrlID, 4)
WINDOW_LIBRARY_IMPORT(User, GetFocus, 0)
WINDOW_LIBRARY_IMPORT(User, GetKeyState, 4)
WINDOW_LIBRARY_IMPORT(User, GetMenu, 4)
WINDOW_LIBRARY_IMPORT(User, GetParent, 4)
WINDOW_LIBRARY_IMPORT(User, GetSystemMetrics, 4)
WINDOW_LIBRARY_IMPORT(User, GetUpdateRect, 12)
WINDOW_LIBRARY_IMPORT(User, GetWindowLongA, 8)
WINDOW_LIBRARY_IMPORT(User, GetWindowRect, 8)
WINDOW_LIBRARY_IMPORT(User, GetWindowTextA, 12)
WINDOW_LIBRARY_IMPORT(User, GetWindowTextLengthA, 4)
WINDOW_LIBRARY_IMPORT(User, InvalidateRect, 12)
WINDOW_LIBRARY_IMPORT(User, IsDialogMessageA, 8)
WINDOW_LIBRARY_IMPORT(User, IsDlgButtonChecked, 8)
WINDOW_LIBRARY_IMPORT(User, IsWindowEnabled, 4)
WINDOW_LIBRARY_IMPORT(User, MessageBoxA, 16)
WINDOW_LIBRARY_IMPORT(User, MoveWindow, 24)
WINDOW_LIBRARY_IMPORT(User, MsgWaitForMultipleObjects, 20)
WINDOW_LIBRARY_IMPORT(User, PeekMessageA, 20)
WINDOW_LIBRARY_IMPORT(User, ReleaseDC, 8)
WINDOW_LIBRARY_IMPORT(User, ScreenToClient, 8)
WINDOW_LIBRARY_IMPORT(User, SendMessageA, 16)
WINDOW_LIBRARY_IMPORT(User, SetWindowLongA, 12)
WINDOW_LIBRARY_IMPORT(User, SetWindowTextA, 8)
WINDOW_LIBRARY_IMPORT(User, ShowWindow, 8)
WINDOW_LIBRARY_IMPORT(User, TranslateMessage, 4)
WINDOW_LIBRARY_IMPORT(User, UpdateWindow, 4)
WINDOW_LIBRARY_IMPORT(User, WaitMessage, 0)
// gdi32
WINDOW_LIBRARY_IMPORT(Gdi, GetTextExtentPoint32A, 16)
WINDOW_LIBRARY_IMPORT(Gdi, SelectObject, 8)
// winmm
WINDOW_LIBRARY_IMPORT(Multimedia, timeGetTime, 0)
