#pragma once
// Holds a file or a folder open the way another program would, until
// destroyed. A folder held with no sharing cannot be listed by anyone else.

#include <windows.h>

#include <string>

class HeldFile {
 public:
  // Opens the existing file or folder at path for reading; share is what
  // others may do meanwhile (FILE_SHARE_* flags, 0 for nothing).
  HeldFile(const std::string& path, DWORD share);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};
