#pragma once
// The Windows side of the platform, for the Windows-only sources: the owners
// of handles, and where system libraries are loaded from.

#include <windows.h>

#include <string>

// A handle on an existing file or folder (CreateFileA or, for a wide path,
// CreateFileW; every kind of sharing allowed), closed when it goes out of
// scope. For the Windows-only sources.

class FileHandle {
 public:
  // Opens path for access (FILE_READ_ATTRIBUTES, DELETE, ...) with flags
  // (FILE_FLAG_BACKUP_SEMANTICS to open folders too, FILE_FLAG_OPEN_REPARSE_POINT
  // to open a link itself rather than what it leads to).
  // disposition: OPEN_ALWAYS makes a file that is missing.
  FileHandle(const char* path, DWORD access, DWORD flags, DWORD disposition = OPEN_EXISTING)
      : handle_(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            disposition, flags, nullptr)) {}
  FileHandle(const wchar_t* path, DWORD access, DWORD flags, DWORD disposition = OPEN_EXISTING)
      : handle_(CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            disposition, flags, nullptr)) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Any other kernel handle (a process, a thread, an event, a pipe), taken
// over from the call that made it and closed when it goes out of scope.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~OwnedHandle() { Reset(nullptr); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  bool IsOpen() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // Closes the handle held and takes handle in its place.
  void Reset(HANDLE handle) {
    if (IsOpen()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

// The running program's own full path, as the system loaded it (wide, so
// that a folder named outside the ANSI code page reads as it is); empty when
// it cannot be read.
std::wstring ProgramPath();

// Where libraries come from. ControlPanel.exe imports only what every Windows
// process has loaded anyway (kernel32, advapi32, the C runtime); the other
// system libraries it needs (version, shell32, user32, gdi32, winmm) are loaded when first
// used, and only from the system folder, so that a library of the same name
// in the program's folder or the current folder is never run, and option
// mode starts without them.

// The system libraries loaded on first use.
enum class SystemLibrary { Version, Shell, User, Gdi, Multimedia };

// Makes the system folder the only place the process looks for libraries
// loaded without a full path (SetDefaultDllDirectories). The entry point calls
// it before anything else. False where the system lacks the call; the
// libraries above are loaded from the system folder all the same.
bool RestrictLibrarySearch();

// The system's words for error (a GetLastError code) with its number, for
// messages that must name the real cause: "Disk full (error 112)".
std::string SystemErrorText(DWORD error);

// Makes the system fail, without a box, what would otherwise wait for a
// person: a drive that is not ready, a file that cannot be found, a crash.
// Unattended runs call it first.
void SilenceSystemErrorBoxes();

// The address of function in library, loaded from the system folder on first
// use and kept until the process ends; none when either cannot be found.
FARPROC SystemFunction(SystemLibrary library, const char* function);

// SystemFunction cast to the function's own type.
template <typename Function>
Function SystemFunctionAs(SystemLibrary library, const char* function) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(library, function)));
}

// Loads a library by its full path (wide characters, as stored, so that a
// name outside the ANSI code page is the file's own; shorter than MAX_PATH),
// its own dependencies looked for beside it and in the system folder only.
// None when it cannot be loaded.
HMODULE LoadLibraryByFullPath(const wchar_t* path);
