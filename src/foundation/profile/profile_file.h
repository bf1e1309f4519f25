#pragma once
// Profile documents on files: reading a file into a document, replacing a file
// with a document's text, and editing a file's text in place.

#include <functional>
#include <string>

#include "foundation/core/paths.h"
#include "foundation/core/status.h"
#include "foundation/files/file_stream.h"
#include "foundation/profile/profile_document.h"

// Profile documents on files: the reader reads the whole file with one
// allocation and one read and parses it (ReadProfileText); the writer replaces
// the file with the document's text in one step, so that a failed write never
// loses the old file.

// Adds the sections and entries of the file at path to document. stream, when
// given, is read instead (it is opened when closed, and then closed again).
// StatusOpenFailed, the document unchanged, when the file cannot be opened; an
// empty file gives StatusOk. StatusNoMemory when the text cannot be held and
// StatusIoError when it cannot be read whole (the read fails or gives fewer
// bytes than the file's size, as from a stream already read in part), both
// with the document unchanged.
//
// Encodings: a leading UTF-8 byte-order mark is read past and noted in the
// document (utf8ByteOrderMark), so that WriteProfile keeps it. A file in
// UTF-16 (either byte-order mark) or with a NUL byte that has other bytes
// after it cannot be read as profile text: the parse would lose everything,
// or everything after the NUL. It gives StatusForeignText, the document
// unchanged. Otherwise the result of ReadProfileText; what was parsed stays.
Status ReadProfile(ProfileDocument& document, const FixedPath& path, FileStream* stream = nullptr);

// True when a read that gave status must not be followed by writing the file
// back: the document does not hold the whole file (StatusNoMemory,
// StatusIoError, StatusForeignText). A missing file (StatusOpenFailed) and a
// malformed end (StatusBadFormat) do not forbid it.
bool ReadForbidsRewrite(Status status);
// The same for a read of the file at path, where an existing file that could
// not be opened (in use by another program) also forbids it: only a missing
// file may be made from nothing.
bool ReadForbidsRewrite(Status status, const FixedPath& path);

// Replaces the file at path with the writer's form of document, after a UTF-8
// byte-order mark when the document was read with one. The text goes
// to a new file in the same folder, which reaches the disk before it takes the
// old file's place in one step; a read-only old file is replaced too. On any
// failure the old file stays exactly as it was, the new one is removed, and
// the result is StatusIoError.
Status WriteProfile(const ProfileDocument& document, const FixedPath& path);

// Edits the profile file at path in place of rewriting it: edit gets the
// file's text after its UTF-8 byte-order mark (profile_edit.h changes it and
// keeps every byte it does not change) and says whether it changed it; the
// file is then replaced, mark included, as WriteProfile replaces it. StatusOk
// when the file was replaced or edit changed nothing (then it is not
// written at all, and keeps its time stamp); the file is left as it
// was when it cannot be opened (StatusOpenFailed: missing, or held by another
// program), read whole (StatusNoMemory, StatusIoError, StatusForeignText), or
// written (StatusIoError).
Status EditProfileFile(const FixedPath& path, const std::function<bool(std::string&)>& edit);
