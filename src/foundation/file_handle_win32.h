#pragma once
// A handle on an existing file or folder (CreateFileA or, for a wide path,
// CreateFileW; every kind of sharing allowed), closed when it goes out of
// scope. For the Windows-only sources.

#include <windows.h>

class FileHandle {
 public:
  // Opens path for access (FILE_READ_ATTRIBUTES, DELETE, ...) with flags
  // (FILE_FLAG_BACKUP_SEMANTICS to open folders too, FILE_FLAG_OPEN_REPARSE_POINT
  // to open a link itself rather than what it leads to).
  FileHandle(const char* path, DWORD access, DWORD flags)
      : handle_(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, flags, nullptr)) {}
  FileHandle(const wchar_t* path, DWORD access, DWORD flags)
      : handle_(CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, flags, nullptr)) {}
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
