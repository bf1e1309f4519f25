#pragma once
// The names the uninstall looks for: the player's ActiveX control libraries
// in the component folder's subtree and its Netscape plug-in files in every
// Netscape plug-ins folder.

#include <cstddef>

// Player libraries: shared libraries (SharedLibraryExtension, listed with
// SharedLibraryFileType, both in foundation/file_list.h) whose name begins
// with this prefix, the prefix compared without regard to case.
constexpr const char* PlayerLibraryPrefix = "AxQuillframe";
// The entry each player library unregisters itself through.
constexpr const char* UnregisterEntryName = "DllUnregisterServer";

// The Netscape plug-in files.
constexpr const char* PluginLibraryName = "NPQuillframe3.dll";
constexpr const char* PluginClassName = "Quillframe3.class";

// True when fileName (a name without folders, or none) begins with
// PlayerLibraryPrefix without regard to case.
bool IsPlayerLibraryName(const char* fileName);

// Writes folder, one "\" and name into out (capacity bytes, zero-filled
// first, so that the text ends in the double NUL the shell's delete needs).
// False, with out empty, when folder is missing or empty, or when the path
// and its two NULs do not fit.
bool JoinPluginPath(const char* folder, const char* name, char* out, size_t capacity);
