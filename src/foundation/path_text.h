#pragma once
// Path text helpers shared by the whole program.

#include <cstddef>

#include "foundation/fixed_path.h"
#include "foundation/status.h"

// Replaces every "/" or "\" that is not separator with separator.
// StatusBadArgument when text is none or separator is neither "/" nor "\".
Status ConvertSeparators(char* text, char separator);

// Sets out to the path of name in the program's own folder (name may carry
// folders of its own and its own extension; leading backslashes are skipped).
// No name, or an empty one: the program's folder with a trailing backslash.
// The empty path when the program's file cannot be read, the name has 260 or
// more characters, or the joined path would reach 260 characters. Always true.
bool ProgramFilePath(FixedPath& out, const char* name);

// Writes folder, one "\" and name into out (bytes long, apart from both
// texts): a folder that ends in a backslash gets no second one, an empty
// folder gives "\" and name. False, with out empty, when the path and its
// NUL do not fit; a cut path would name another file.
bool JoinFolderAndName(const char* folder, const char* name, char* out, size_t bytes);
