#pragma once
// FileStream: the program's one way to create, read, write and delete whole
// files. A stream names its file by path, opens an existing file in one of
// four modes and can hold writes back in a buffer whose size is chosen at
// open time. The buffer is allocated at the first write that goes through it
// and released after every successful flush.
//
// Every OS failure is StatusIoError, except a failed Open (StatusOpenFailed).
// Errors met while emptying the buffer inside Write, Read, Sync and Close are
// dropped: a caller learns of a failed buffered write through Flush.

#include <cstdint>

#include "foundation/core/paths.h"
#include "foundation/core/status.h"
#include "foundation/core/strings.h"

class FileStream {
 public:
  // Open modes. Every mode asks for an existing file; none creates or truncates.
  static constexpr int32_t ModeRead = 1;               // shares reading; never buffers
  static constexpr int32_t ModeWrite = 2;              // shares writing; buffered
  static constexpr int32_t ModeReadWrite = 3;          // shares reading; buffered
  static constexpr int32_t ModeReadWriteShared = 4;    // shares both; never buffers
  // The buffer size readers and writers open with.
  static constexpr uint32_t StandardBufferSize = 65536;

  explicit FileStream(const FixedPath& path);
  // Closes an open stream (the result is dropped) and releases the buffer.
  virtual ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Makes a new empty file at the path and closes it at once. The creator and
  // type codes are accepted for the file's metadata, which this platform does
  // not keep. StatusIoError when the file exists or cannot be made.
  Status Create(uint32_t creator, uint32_t type);
  // Opens the existing file. The buffer size counts for ModeWrite and
  // ModeReadWrite only. StatusOpenFailed, and the stream closed, on failure.
  // Callers open a closed stream only.
  Status Open(int32_t mode, uint32_t bufferSize);
  // The file's size (low 32 bits). A closed stream is opened in ModeRead for
  // the call and closed again; 0 when that fails. Bytes still in the write
  // buffer are not counted.
  uint32_t Size();
  // Reads up to *count bytes at the file position; *count becomes the number
  // read, 0 at the end of the file. Buffered writes reach the file first.
  Status Read(void* buffer, uint32_t* count);
  // Writes *count bytes, through the buffer when the stream has one. On a
  // write straight to the file *count becomes the number taken; while bytes
  // only collect in the buffer it stays as given.
  Status Write(const void* data, uint32_t* count);
  // Writes the buffered bytes; on success releases the buffer.
  Status Flush();
  // Flush, then has the OS write its caches (except in ModeRead).
  Status Sync();
  // Flush and Sync (results dropped), then closes the handle. Bytes that could
  // not be flushed are discarded with the buffer.
  Status Close();
  // Removes the file, read-only or not. StatusIoError when it cannot be
  // removed or does not exist. The stream need not be open.
  Status Delete();

  bool IsOpen() const { return open_ != 0; }
  int32_t Mode() const { return mode_; }
  uint32_t BufferSize() const { return bufferSize_; }
  uint32_t Pending() const { return pending_; }
  bool HasBuffer() const { return buffer_ != nullptr; }
  const FixedPath& Path() const { return path_; }

 private:
  Status WriteToFile(const void* data, uint32_t* count);
  void ReleaseBuffer();

  FixedPath path_;
  uint8_t open_ = 0;
  int32_t mode_ = ModeReadWrite;
  uint32_t bufferSize_ = 0;  // 0: unbuffered
  uint32_t pending_ = 0;     // bytes waiting in buffer_
  uint8_t* buffer_ = nullptr;
  void* handle_;             // the OS file handle; invalid while closed
};
