#pragma once
// Paths: the fixed-size path record FixedPath, path texts (separators, the
// file beside the program, joining a folder and a name) and file extensions.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/core/path_separators.h"
#include "foundation/core/status.h"

// FixedPath: one file-system path in a value record of exactly 261 bytes, a
// mark byte and a 260-byte NUL-terminated text. Arrays of paths lie back to
// back at 261 bytes per element, so the record has no padding and no virtual
// operations. Paths are single-byte text compared byte for byte.
//
// Limits: SetText keeps at most 256 characters; AppendName and ReplaceName
// allow up to 259 and return StatusIoError rather than cut a path.

struct FixedPath {
  static constexpr uint32_t TextBytes = 260;
  static constexpr uint32_t SetTextLimit = 256;

  uint8_t mark;  // 1 while constructed, 0 once destroyed; nothing tests it
  char text[TextBytes];

  FixedPath();
  FixedPath(const FixedPath& other);
  FixedPath& operator=(const FixedPath& other);
  ~FixedPath();

  // None or an empty text empties the path; otherwise keeps at most 256 characters.
  void SetText(const char* newText);
  const char* Text() const { return text; }
  uint32_t Length() const;
  bool IsEmpty() const { return text[0] == '\0'; }

  // Adds a backslash unless the path ends in one (an empty path becomes "\"),
  // then the name. StatusIoError when the result would reach 260 characters;
  // the added backslash stays. No name: StatusOk, nothing changes.
  Status AppendName(const char* name);
  // Replaces everything after the last backslash with name; an empty path
  // takes name as its text. StatusIoError without a backslash (path
  // unchanged) or when the result would reach 260 characters (path left cut).
  Status ReplaceName(const char* name);
  // The path's FileNameOf; none when the name is empty or the path has no
  // separator after its first character.
  const char* FileNamePart() const;
  // Ends the path just after its last backslash (position 1 on); a path that
  // ends in a backslash, or has none, stays as it is.
  void RemoveName();
  // For a folder path ending in a backslash: goes to the parent folder.
  // False, and the path as RemoveName left it, at the root (C:\).
  bool ToParent();
  // True when the file or folder exists (its attributes can be read).
  bool Exists() const;
  // True when the path names an existing folder.
  bool IsFolder() const;
};

static_assert(sizeof(FixedPath) == 261, "paths lie back to back at 261 bytes");

// Path text helpers shared by the whole program.

// The file name of path: the text after its last "\" or "/", or the whole
// text when it has neither. Points into path: empty when path ends in a
// separator.
const char* FileNameOf(const char* path);
inline const char* FileNameOf(const FixedPath& path) { return FileNameOf(path.Text()); }

// Removes every trailing "\" or "/" of path, in place.
void StripTrailingSeparators(char* path);

// Replaces every "/" or "\" that is not separator with separator.
// StatusBadArgument when text is none or separator is neither "/" nor "\".
Status ConvertSeparators(char* text, char separator);

// The program's own file path, in the form the ANSI calls reach it (a part
// the ANSI code page cannot hold by its short form), at most capacity - 1
// characters and always terminated. Returns the number of characters, 0 on
// failure.
uint32_t ReadProgramFileName(char* buffer, uint32_t capacity);

// Host only, for the native test build: the path ReadProgramFileName reports
// on the host, where no Windows program file exists. Starts as
// C:\Corvalent\ControlPanel.exe; tests may change it.
void SetHostProgramFileName(const char* path);

// Sets out to the path of name in the program's own folder (name may carry
// folders of its own and its own extension; leading backslashes are skipped).
// No name, or an empty one: the program's folder with a trailing backslash.
// The empty path when the program's file cannot be read, the name has 260 or
// more characters, or the joined path would reach 260 characters. Always true.
bool ProgramFilePath(FixedPath& out, const char* name);

// The one join of a file beside the program, for ProgramFilePath and the
// toolkit's SetToProgramFile: the program's drive and folder, with the
// separator that closes the folder, then fileName as it is, into out
// (FixedPath::TextBytes bytes). False when the program's file name cannot be
// read or the path would reach 260 characters.
bool JoinToProgramFolder(const char* fileName, char* out);

// Writes folder, one "\" and name into out (bytes long, apart from both
// texts): a folder that ends in a backslash gets no second one, an empty
// folder gives "\" and name. False, with out empty, when the path and its
// NUL do not fit; a cut path would name another file.
bool JoinFolderAndName(const char* folder, const char* name, char* out, size_t bytes);

// File extensions: the text from the last dot of a file name on.

// The position in text of its extension: the last "." after the last "\",
// "/" or ":". Without such a dot, the terminating NUL (an empty extension).
const char* FileExtension(const char* text);
