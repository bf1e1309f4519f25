#pragma once
// One search of a folder's entries (FindFirstFileA, FindNextFileA), closed
// when it goes out of scope. For the Windows-only sources.

#include <windows.h>

#include <cstring>

class FolderSearch {
 public:
  // Starts the search for pattern ("*.*" in the current directory, or
  // "C:\dir\*"); the first entry is at hand when Found().
  explicit FolderSearch(const char* pattern) : handle_(FindFirstFileA(pattern, &entry_)) {}
  ~FolderSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Moves to the next entry; false at the end (GetLastError tells why).
  bool Next() { return FindNextFileA(handle_, &entry_) != 0; }
  const WIN32_FIND_DATAA& Entry() const { return entry_; }
  // True for the entries "." and "..".
  bool AtDotEntry() const { return strcmp(entry_.cFileName, ".") == 0 || strcmp(entry_.cFileName, "..") == 0; }

 private:
  WIN32_FIND_DATAA entry_;
  HANDLE handle_;
};
