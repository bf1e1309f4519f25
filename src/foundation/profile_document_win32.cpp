#include "foundation/profile_document.h"

#include <cstring>

#include "foundation/file_replacement.h"
#include "foundation/strings.h"

// Profile documents on files, through FileStream. The text itself is parsed
// and formed by the portable text form (profile_document.cpp).

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

// Writes the text of document into the empty file at path and has it reach
// the disk; the file is closed in every case.
Status WriteWholeFile(const ProfileDocument& document, const FixedPath& path) {
  FileStream stream(path);
  if (stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize) != StatusOk) {
    return StatusIoError;
  }
  Status status = StatusOk;
  if (document.utf8ByteOrderMark && !WriteToStream(&stream, Utf8ByteOrderMark, Utf8ByteOrderMarkBytes))
    status = StatusIoError;
  if (status == StatusOk) status = WriteProfileText(document, WriteToStream, &stream);
  // Flush on its own: Sync and Close drop the result of the flush they do.
  if (status == StatusOk) status = stream.Flush();
  if (status == StatusOk) status = stream.Sync();
  const Status closed = stream.Close();
  if (status == StatusOk) status = closed;
  return status == StatusOk ? StatusOk : StatusIoError;
}

}  // namespace

Status ReadProfile(ProfileDocument& document, const FixedPath& path, FileStream* stream) {
  FileStream ownStream(path);
  FileStream& file = stream ? *stream : ownStream;
  const bool openedHere = !file.IsOpen();
  if (openedHere && file.Open(FileStream::ModeRead, FileStream::StandardBufferSize) != StatusOk) {
    return StatusOpenFailed;
  }
  Status status = StatusOk;
  const uint32_t size = file.Size();
  if (size != 0) {
    // One block for the whole text and one read into it.
    String text;
    if (size >= String::CapacityMask || !text.EnsureRoom(size, false)) {
      status = StatusNoMemory;
    } else {
      uint32_t count = size;
      // A failed or short read leaves the document alone: callers must not
      // write a file back from the part of it that was read.
      if (file.Read(text.Block(), &count) != StatusOk || count != size) {
        status = StatusIoError;
      } else if (IsForeignText(text.Block(), count)) {
        status = StatusForeignText;
      } else {
        text.Block()[count] = '\0';
        const char* start = text.Block();
        if (StartsWith(start, count, Utf8ByteOrderMark, Utf8ByteOrderMarkBytes)) {
          document.utf8ByteOrderMark = true;
          start += Utf8ByteOrderMarkBytes;
          count -= Utf8ByteOrderMarkBytes;
        }
        status = ReadProfileText(document, start, count);
      }
    }
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
  FixedPath temporary;
  if (CreateSiblingFile(path, &temporary) != StatusOk) return StatusIoError;
  if (WriteWholeFile(document, temporary) == StatusOk &&
      MoveIntoPlace(temporary, path) == StatusOk) {
    return StatusOk;
  }
  FileStream(temporary).Delete();
  return StatusIoError;
}

bool GetProfileValue(const FixedPath& path, const char* section, const char* key, char* out,
                     uint32_t outSize) {
  ProfileDocument document;
  ReadProfile(document, path);  // a missing file leaves the document empty
  return CopyProfileValue(document, section, key, out, outSize);
}

bool SetProfileValue(const FixedPath& path, const char* section, const char* key, const char* value,
                     bool mayCreate) {
  if (!mayCreate && !path.Exists()) return false;
  ProfileDocument document;
  // A file that could not be read whole must not be written back from the
  // part that was read. A missing file reads as an empty document, which has
  // no key to change.
  const Status read = ReadProfile(document, path);
  if (ReadForbidsRewrite(read, path)) return false;
  if (!ReplaceProfileValue(document, section, key, value)) return false;
  return WriteProfile(document, path) == StatusOk;
}
