#pragma once
// One search of a folder's entries by their wide-character names
// (FindFirstFileW, FindNextFileW), closed when it goes out of scope; and the
// name by which the program's ANSI calls reach an entry. Every walk of the
// program lists folders through it, so that each sees every entry as it is
// stored: the ANSI search would show a name outside the ANSI code page as a
// look-alike ("Omega.dll" for "Ωmega.dll", which may be another file) or
// with "?" in it.

#include <windows.h>

#include <string>

class FolderSearch {
 public:
  // Starts the search for pattern ("*" in the current directory, or
  // "\\?\C:\dir\*"); the first entry is at hand when Found().
  explicit FolderSearch(const wchar_t* pattern) : handle_(FindFirstFileW(pattern, &entry_)) {}
  ~FolderSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Moves to the next entry; false at the end (GetLastError tells why).
  bool Next() { return FindNextFileW(handle_, &entry_) != 0; }
  const WIN32_FIND_DATAW& Entry() const { return entry_; }
  const wchar_t* Name() const { return entry_.cFileName; }
  // True for the entries "." and "..".
  bool AtDotEntry() const;
  // A folder by its directory attribute bit, whatever other attributes it carries.
  bool AtFolder() const { return (entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // A reparse point: a junction, symbolic link or mount point.
  bool AtReparsePoint() const { return (entry_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

 private:
  WIN32_FIND_DATAW entry_;
  HANDLE handle_;
};

// How the ANSI calls reach an entry of a folder.
enum class AnsiReach {
  OwnName,    // the ANSI code page holds its name exactly
  ShortName,  // only through its short (8.3) name
  None,       // neither: the volume keeps no short name the code page holds
};

// The name, in the ANSI code page, through which the ANSI calls open the
// entry called name whose short name is shortName (empty when the volume
// keeps none): name itself when the code page holds it exactly, else the
// short name when the code page holds that. None leaves ansi empty.
AnsiReach AnsiNameOf(const wchar_t* name, const wchar_t* shortName, std::string* ansi);
