#pragma once
// Walking a folder tree by wide-character names and extended-length paths
// ("\\?\C:\dir"), so that the walk sees every entry: names outside the ANSI
// code page ("Ωmega", "日本"), which the ANSI calls cannot name as they are,
// and paths longer than MAX_PATH. The link sweep before a removal, the
// emptiness test of the uninstall, its search for the player's libraries and
// the measure of the resource cache walk this way: an entry they missed
// would be removed unchecked, left registered, or counted as nothing. For the
// Windows-only sources.

#include <windows.h>

#include <cstdint>
#include <string>

// A path that a walk extends by one name per level and cuts back, in one
// heap buffer large enough for any extended-length path.
class WidePath {
 public:
  static constexpr uint32_t Capacity = 32768;  // characters, with the terminator

  WidePath();
  ~WidePath();
  WidePath(const WidePath&) = delete;
  WidePath& operator=(const WidePath&) = delete;

  // The extended-length form of the full path of path (an ANSI path, as the
  // registry and FixedPath hold it), without trailing separators:
  // "\\?\C:\dir" or "\\?\UNC\server\share\dir". False when memory runs out
  // or the path cannot be made full.
  bool SetFromAnsi(const char* path);
  // Adds "\" and name; false, unchanged, when it does not fit.
  bool Append(const wchar_t* name);
  // Goes back to the first length characters.
  void Cut(uint32_t length);

  bool IsValid() const { return text_ != nullptr; }
  const wchar_t* Text() const { return text_; }
  uint32_t Length() const { return length_; }

 private:
  wchar_t* text_;
  uint32_t length_;
};

// A walk's path as people read it: UTF-8, without the "\\?\" prefix.
std::string ReadableUtf8(const WidePath& path);

// A walk's path in the form the calls that take no extended-length path need
// (the loader's): without the "\\?\" prefix and shorter than MAX_PATH; a
// longer path in its short form when the volume's short names make it short
// enough. Empty when neither is.
std::wstring ShortEnoughPath(const WidePath& path);

// One entry the walk found, before it decides whether to enter it.
struct TreeEntry {
  const WidePath& path;           // the entry's full extended-length path
  const WIN32_FIND_DATAW& found;  // what the folder listing says of it
  bool isLink;                    // a reparse point, or it leads away from where it was found

  // A folder the walk enters: not a link.
  bool IsFolderEntered() const { return !isLink && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY); }
};

// Called for each entry; false ends the walk.
typedef bool (*TreeEntryVisitor)(void* context, const TreeEntry& entry);
// Called for a folder of the tree (folder itself included) that could not be
// listed completely, with the system's error; the walk goes on after it.
typedef void (*UnlistedFolderVisitor)(void* context, const WidePath& folder, DWORD error);

// Visits every entry of the tree of folder (an ANSI path; folder itself is
// not visited), depth first, entering every folder that is not a link
// after visiting it; links are visited but never followed. True when the
// whole tree was listed and no visit ended the walk; false when a visit
// ended it, a folder could not be listed completely (unless unlisted is
// given: it hears of that folder instead), or folder does not exist or
// cannot be named.
bool WalkTree(const char* folder, TreeEntryVisitor visit, void* context, UnlistedFolderVisitor unlisted = nullptr);

// True when a run that describes its changes would have removed the entry
// at path: the walks do not see it.
bool WouldBeGone(const WidePath& path);

// True when the folder at path (an extended-length path, as SetFromAnsi makes
// it) is itself a link: a reparse point, or it leads elsewhere than where the
// folder above it lists it. A folder whose final path, or whose parent's,
// cannot be read is taken for what its attributes say.
bool IsLinkedFolder(const WidePath& path);
