// FileStream over the kernel32 file functions. The write buffer comes from
// the platform heap.
#include "foundation/files/file_stream.h"

#include <windows.h>

#include <cstring>

#include "foundation/core/platform.h"
#include "foundation/core/what_if.h"

namespace {

struct ModeAccess {
  DWORD access;
  DWORD sharing;
  bool buffered;
};

ModeAccess AccessOfMode(int32_t mode) {
  switch (mode) {
    case FileStream::ModeRead:
      return {GENERIC_READ, FILE_SHARE_READ, false};
    case FileStream::ModeWrite:
      return {GENERIC_WRITE, FILE_SHARE_WRITE, true};
    case FileStream::ModeReadWrite:
      return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true};
    case FileStream::ModeReadWriteShared:
      return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false};
    default:
      return {0, 0, false};  // no access: the file is only held
  }
}

}  // namespace

FileStream::FileStream(const FixedPath& path) : path_(path), handle_(INVALID_HANDLE_VALUE) {}

FileStream::~FileStream() {
  if (open_) Close();
  ReleaseBuffer();
}

Status FileStream::Create(uint32_t creator, uint32_t type) {
  HANDLE file = CreateFileA(path_.Text(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return StatusIoError;
  return CloseHandle(file) ? StatusOk : StatusIoError;
}

Status FileStream::Open(int32_t mode, uint32_t bufferSize) {
  // A second open would lose the handle already held.
  if (open_) return StatusOpenFailed;
  const ModeAccess access = AccessOfMode(mode);
  bufferSize_ = access.buffered ? bufferSize : 0;
  HANDLE file = CreateFileA(path_.Text(), access.access, access.sharing, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return StatusOpenFailed;
  handle_ = file;
  mode_ = mode;
  open_ = 1;
  ReleaseBuffer();
  return StatusOk;
}

uint32_t FileStream::Size() {
  if (!open_) {
    if (Open(ModeRead, StandardBufferSize) != StatusOk) return 0;
    uint32_t size = Size();
    Close();
    return size;
  }
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(handle_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return low;
}

Status FileStream::Read(void* buffer, uint32_t* count) {
  if (bufferSize_ != 0) Flush();
  DWORD read = 0;
  if (!open_ || !ReadFile(handle_, buffer, *count, &read, nullptr)) {
    *count = 0;
    return StatusIoError;
  }
  *count = read;
  return StatusOk;
}

Status FileStream::WriteToFile(const void* data, uint32_t* count) {
  DWORD written = 0;
  if (!open_ || !WriteFile(handle_, data, *count, &written, nullptr)) {
    *count = written;
    return StatusIoError;
  }
  *count = written;
  return StatusOk;
}

Status FileStream::Write(const void* data, uint32_t* count) {
  if (bufferSize_ == 0) return WriteToFile(data, count);

  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  uint32_t consumed = 0;
  const uint32_t room = bufferSize_ - pending_;
  if (buffer_ && room < *count) {
    // Top the buffer up and empty it.
    memcpy(buffer_ + pending_, bytes, room);
    pending_ = bufferSize_;
    Flush();
    consumed = room;
    if (pending_ != 0) {
      // The flush failed and the buffer is still full: the rest can neither
      // be buffered nor go to the file ahead of the bytes waiting.
      *count = consumed;
      return StatusIoError;
    }
  }

  const uint32_t rest = *count - consumed;
  if (rest == 0) return StatusOk;
  if (rest < bufferSize_) {
    if (!buffer_) buffer_ = static_cast<uint8_t*>(platform::HeapAllocate(bufferSize_, false));
    if (buffer_) {
      memcpy(buffer_ + pending_, bytes + consumed, rest);
      pending_ += rest;
      return StatusOk;
    }
    // No memory for a buffer; nothing is pending, so the bytes can go
    // straight to the file in their order.
  }
  uint32_t written = rest;
  Status status = WriteToFile(bytes + consumed, &written);
  *count = consumed + written;
  return status;
}

Status FileStream::Flush() {
  if (!buffer_ || pending_ == 0) {
    ReleaseBuffer();
    return StatusOk;
  }
  uint32_t written = pending_;
  Status status = WriteToFile(buffer_, &written);
  if (written > pending_) written = pending_;
  if (status != StatusOk || written < pending_) {
    // Keep only what did not reach the file, so a later flush repeats nothing.
    memmove(buffer_, buffer_ + written, pending_ - written);
    pending_ -= written;
    return StatusIoError;
  }
  ReleaseBuffer();
  return StatusOk;
}

Status FileStream::Sync() {
  if (bufferSize_ != 0) Flush();
  if (mode_ == ModeRead && open_) return StatusOk;
  if (!open_ || !FlushFileBuffers(handle_)) return StatusIoError;
  return StatusOk;
}

Status FileStream::Close() {
  if (!open_) {
    ReleaseBuffer();
    return StatusIoError;
  }
  if (bufferSize_ != 0) Flush();
  Sync();
  const BOOL closed = CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  open_ = 0;
  ReleaseBuffer();
  return closed ? StatusOk : StatusIoError;
}

Status FileStream::Delete() {
  // A run that describes its changes deletes nothing: the file is gone for
  // the rest of the run only.
  if (ChangesAreDescribed()) {
    if (!path_.Exists()) return StatusIoError;
    NoteRemovedPath(path_.Text());
    return StatusOk;
  }
  SetFileAttributesA(path_.Text(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path_.Text()) ? StatusOk : StatusIoError;
}

void FileStream::ReleaseBuffer() {
  platform::HeapRelease(buffer_);
  buffer_ = nullptr;
  pending_ = 0;
}
