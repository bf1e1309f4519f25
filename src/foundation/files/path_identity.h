#pragma once
// Whether two paths name the same file or folder, or one lies inside the
// other, judged as Windows resolves names: without regard to case, "/" as
// "\", "." and ".." resolved against the current folder, and short (8.3)
// names of existing folders and files read as their long names. Paths are in
// the ANSI code page.

// True when path names target itself or something inside the folder target.
// False when either cannot be resolved.
bool IsSameOrInside(const char* path, const char* target);
// The same for paths in wide characters, as stored: a path typed with
// characters the code page cannot hold.
bool IsSameOrInside(const wchar_t* path, const wchar_t* target);
