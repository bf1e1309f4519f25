#include "support/held_file_win32.h"

HeldFile::HeldFile(const std::string& path, DWORD share)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                          nullptr)) {}

HeldFile::~HeldFile() {
  if (IsOpen()) CloseHandle(handle_);
}
