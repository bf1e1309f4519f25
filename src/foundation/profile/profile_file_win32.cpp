#include "foundation/profile/profile_file.h"

#include <cstring>
#include <string>

#include "foundation/core/strings.h"
#include "foundation/core/what_if.h"
#include "foundation/files/file_replacement.h"
#include "foundation/profile/profile_text.h"

// Profile documents on files, through FileStream. The text itself is parsed
// and formed by the portable text form (profile_text.cpp).

namespace {

constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr uint32_t Utf8ByteOrderMarkBytes = 3;

bool StartsWith(const char* text, uint32_t length, const char* prefix, uint32_t prefixLength) {
  return length >= prefixLength && memcmp(text, prefix, prefixLength) == 0;
}

// UTF-16 text, by its byte-order mark in either order, or text whose first
// NUL byte has other bytes after it: the parse ends at a NUL. NULs only at
// the end lose nothing.
bool IsForeignText(const char* text, uint32_t length) {
  if (StartsWith(text, length, "\xFF\xFE", 2) || StartsWith(text, length, "\xFE\xFF", 2)) return true;
  const char* nul = static_cast<const char*>(memchr(text, '\0', length));
  if (!nul) return false;
  for (const char* p = nul; p < text + length; ++p) {
    if (*p != '\0') return true;
  }
  return false;
}

// Sends the writer's bytes through the stream's buffer. Counts what a write
// straight to the file took, so that a short write is a failure.
bool WriteToStream(void* context, const char* bytes, uint32_t count) {
  FileStream* stream = static_cast<FileStream*>(context);
  uint32_t taken = count;
  return stream->Write(bytes, &taken) == StatusOk && taken == count;
}

// Collects the writer's bytes in a text: the file a run that describes its
// changes would write.
bool WriteToText(void* context, const char* bytes, uint32_t count) {
  static_cast<std::string*>(context)->append(bytes, count);
  return true;
}

// Writes into the empty file at path, through write (the document's text or
// the edited bytes, given to a sink), and has it reach the disk; the file is
// closed in every case.
template <typename Write>
Status WriteWholeFile(const FixedPath& path, bool byteOrderMark, Write write) {
  FileStream stream(path);
  if (stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize) != StatusOk) {
    return StatusIoError;
  }
  Status status = StatusOk;
  if (byteOrderMark && !WriteToStream(&stream, Utf8ByteOrderMark, Utf8ByteOrderMarkBytes)) status = StatusIoError;
  if (status == StatusOk) status = write(WriteToStream, &stream);
  // Flush on its own: Sync and Close drop the result of the flush they do.
  if (status == StatusOk) status = stream.Flush();
  if (status == StatusOk) status = stream.Sync();
  const Status closed = stream.Close();
  if (status == StatusOk) status = closed;
  return status == StatusOk ? StatusOk : StatusIoError;
}

// Puts what write writes in the place of the file at path, through a new
// file beside it, as WriteProfile does.
template <typename Write>
Status ReplaceWholeFile(const FixedPath& path, bool byteOrderMark, Write write) {
  // A run that describes its changes writes nothing: the new text stands in
  // for the file for the rest of the run only.
  if (ChangesAreDescribed()) {
    std::string bytes = byteOrderMark ? std::string(Utf8ByteOrderMark) : std::string();
    if (write(WriteToText, &bytes) != StatusOk) return StatusIoError;
    NoteWrittenFile(path.Text(), bytes);
    return StatusOk;
  }
  FixedPath temporary;
  if (CreateSiblingFile(path, &temporary) != StatusOk) return StatusIoError;
  if (WriteWholeFile(temporary, byteOrderMark, write) == StatusOk && MoveIntoPlace(temporary, path) == StatusOk) {
    return StatusOk;
  }
  FileStream(temporary).Delete();
  return StatusIoError;
}

}  // namespace

namespace {

// Reads the whole file, or what is left of an open stream, into text with
// one allocation and one read; *textStart and *textLength are the text after
// a UTF-8 byte-order mark, *byteOrderMark whether there was one.
Status ReadWholeText(FileStream& file, String& text, const char** textStart, uint32_t* textLength,
                     bool* byteOrderMark) {
  *textStart = nullptr;
  *textLength = 0;
  *byteOrderMark = false;
  const uint32_t size = file.Size();
  if (size == 0) return StatusOk;
  if (size >= String::CapacityMask || !text.EnsureRoom(size, false)) return StatusNoMemory;
  uint32_t count = size;
  // A failed or short read leaves the caller nothing: a file must not be
  // written back from the part of it that was read.
  if (file.Read(text.Block(), &count) != StatusOk || count != size) return StatusIoError;
  if (IsForeignText(text.Block(), count)) return StatusForeignText;
  text.Block()[count] = '\0';
  const char* start = text.Block();
  if (StartsWith(start, count, Utf8ByteOrderMark, Utf8ByteOrderMarkBytes)) {
    *byteOrderMark = true;
    start += Utf8ByteOrderMarkBytes;
    count -= Utf8ByteOrderMarkBytes;
  }
  *textStart = start;
  *textLength = count;
  return StatusOk;
}

// The text of the file at path that a run describing its changes would have
// written, as ReadWholeText gives it; false when no such run wrote it.
// StatusOpenFailed in *status when that run would have removed it.
bool DescribedText(const FixedPath& path, String& text, const char** textStart, uint32_t* textLength,
                   bool* byteOrderMark, Status* status) {
  std::string bytes;
  const PathWouldBe wouldBe = ChangesAreDescribed() ? WhatPathWouldBe(path.Text(), &bytes) : PathWouldBe::AsItIs;
  if (wouldBe == PathWouldBe::AsItIs) return false;
  *textStart = nullptr;
  *textLength = 0;
  *byteOrderMark = false;
  if (wouldBe == PathWouldBe::Gone) {
    *status = StatusOpenFailed;
    return true;
  }
  *status = StatusOk;
  if (bytes.empty()) return true;
  if (!text.Assign(bytes.c_str())) {
    *status = StatusNoMemory;
    return true;
  }
  const char* start = text.Block();
  uint32_t count = static_cast<uint32_t>(bytes.size());
  if (StartsWith(start, count, Utf8ByteOrderMark, Utf8ByteOrderMarkBytes)) {
    *byteOrderMark = true;
    start += Utf8ByteOrderMarkBytes;
    count -= Utf8ByteOrderMarkBytes;
  }
  *textStart = start;
  *textLength = count;
  return true;
}

}  // namespace

Status ReadProfile(ProfileDocument& document, const FixedPath& path, FileStream* stream) {
  {
    String text;
    const char* start = nullptr;
    uint32_t length = 0;
    bool byteOrderMark = false;
    Status status = StatusOk;
    if (!stream && DescribedText(path, text, &start, &length, &byteOrderMark, &status)) {
      if (status == StatusOk && start) {
        if (byteOrderMark) document.utf8ByteOrderMark = true;
        status = ReadProfileText(document, start, length);
      }
      return status;
    }
  }
  FileStream ownStream(path);
  FileStream& file = stream ? *stream : ownStream;
  const bool openedHere = !file.IsOpen();
  if (openedHere && file.Open(FileStream::ModeRead, FileStream::StandardBufferSize) != StatusOk) {
    return StatusOpenFailed;
  }
  String text;
  const char* start = nullptr;
  uint32_t length = 0;
  bool byteOrderMark = false;
  Status status = ReadWholeText(file, text, &start, &length, &byteOrderMark);
  if (status == StatusOk && start) {
    if (byteOrderMark) document.utf8ByteOrderMark = true;
    status = ReadProfileText(document, start, length);
  }
  if (openedHere) file.Close();
  return status;
}

bool ReadForbidsRewrite(Status status) {
  return status == StatusNoMemory || status == StatusIoError || status == StatusForeignText;
}

bool ReadForbidsRewrite(Status status, const FixedPath& path) {
  return ReadForbidsRewrite(status) || (status == StatusOpenFailed && path.Exists());
}

Status WriteProfile(const ProfileDocument& document, const FixedPath& path) {
  return ReplaceWholeFile(path, document.utf8ByteOrderMark, [&document](ProfileTextSink sink, void* context) {
    return WriteProfileText(document, sink, context);
  });
}

Status EditProfileFile(const FixedPath& path, const std::function<bool(std::string&)>& edit) {
  String whole;
  const char* start = nullptr;
  uint32_t length = 0;
  bool byteOrderMark = false;
  Status read = StatusOk;
  if (!DescribedText(path, whole, &start, &length, &byteOrderMark, &read)) {
    FileStream file(path);
    if (file.Open(FileStream::ModeRead, FileStream::StandardBufferSize) != StatusOk) return StatusOpenFailed;
    read = ReadWholeText(file, whole, &start, &length, &byteOrderMark);
    file.Close();
  }
  if (read != StatusOk) return read;
  std::string text(start ? start : "", length);
  // An edit that leaves every byte as it was writes nothing: the file keeps
  // its time stamp, and those who watch it see no change.
  const std::string original = text;
  if (!edit(text) || text == original) return StatusOk;
  return ReplaceWholeFile(path, byteOrderMark, [&text](ProfileTextSink sink, void* context) {
    return text.size() >= UINT32_MAX || !sink(context, text.data(), static_cast<uint32_t>(text.size()))
               ? StatusIoError
               : StatusOk;
  });
}
