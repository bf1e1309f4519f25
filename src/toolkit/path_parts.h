#pragma once
// The parts of a path (drive, directory, name, extension) as the toolkit
// splits and joins them, and the path of a file beside the program.

#include <cstdint>

#include "foundation/core/paths.h"

// The toolkit's operations on a FixedPath: clearing it, splitting it into
// drive, directory, name and extension and joining such parts (by the Windows
// C runtime's rules for _splitpath and _makepath, done here within bounds),
// copying a path through its parts, and pointing a path at the program's own
// file or at a file beside it.

// The four parts of a path, each NUL-terminated.
struct PathParts {
  static constexpr uint32_t DriveBytes = 3;
  static constexpr uint32_t DirectoryBytes = 256;
  static constexpr uint32_t NameBytes = 256;
  static constexpr uint32_t ExtensionBytes = 256;

  char drive[DriveBytes];          // "C:" or empty
  char directory[DirectoryBytes];  // with its trailing separator, or empty
  char name[NameBytes];            // the base name
  char extension[ExtensionBytes];  // from the last dot of the name on, or empty
};

// Empties the path (its first byte becomes NUL).
void ClearPath(FixedPath& path);

// Splits the path into out, which is cleared first. The drive is the first two
// characters when the second is ":"; the directory runs to the last "\" or "/"
// included; the extension starts at the last dot after it. False, with out
// left cleared, when a part does not fit its field.
bool SplitParts(const FixedPath& path, PathParts& out);

// Builds the path from its parts (any may be none): the drive's first
// character and ":", the directory with a "\" added when it ends in neither
// separator, the name, and the extension with a "." added in front when it
// lacks one. False, with the path left empty, when the lengths of the given
// parts add up to 260 or more or the joined path would reach 260 characters.
bool SetFromParts(FixedPath& path, const char* drive, const char* directory, const char* name,
                  const char* extension);

// Makes path a copy of other by splitting and joining it. False when other is
// none (path unchanged), or when a part does not fit or the join fails (path
// left empty).
bool CopyByParts(FixedPath& path, const FixedPath* other);

// True when name is not none and shorter than 260 characters.
bool FitsPath(const char* name);

// No name: the program's own file path. With a name: the program's drive and
// directory joined with name as the file-name part, so the name keeps its own
// extension and any folders of its own. False, with the previous path kept,
// when the program's file name cannot be read, the name does not fit or the
// join fails.
bool SetToProgramFile(FixedPath& path, const char* name);
