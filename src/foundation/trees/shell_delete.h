#pragma once
// Deleting through the shell's file operation (SHFileOperationA, FO_DELETE)
// with the flags 0x414: silent, no confirmation, no error boxes, and not to
// the recycle bin.

// Deletes the files or folders named in source, a list of paths each ending
// in a NUL with one more NUL after the last; patterns such as "C:\dir\*.*"
// are allowed. Returns the shell's result: 0 on success.
int ShellDelete(const char* source);
