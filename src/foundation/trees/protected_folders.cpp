#include "foundation/trees/protected_folders.h"

#include <cstddef>
#include <cstring>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"

namespace {

// Letters folded to lower case and "/" to "\", for comparing paths.
char Folded(char c) { return c == '/' ? '\\' : FoldedCase(c); }

bool SameText(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

// The number of non-empty names between begin and end.
int NameCount(const char* begin, const char* end) {
  int count = 0;
  bool inName = false;
  for (const char* p = begin; p < end; ++p) {
    if (IsPathSeparator(*p)) {
      inName = false;
    } else if (!inName) {
      inName = true;
      ++count;
    }
  }
  return count;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

const char* WithoutLocalExtendedPrefix(const char* path) {
  if (strlen(path) >= 6 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) && path[2] == '?' &&
      IsPathSeparator(path[3]) && IsDriveLetter(path[4]) && path[5] == ':')
    return path + 4;
  return path;
}

bool IsUserProfileFolderText(const char* path, const char* profiles) {
  // The folders kept in every profile, as their path below the profile.
  static const char* const kept[] = {
      "Documents",       "My Documents",     "Desktop",           "AppData",
      "AppData\\Roaming", "AppData\\Local",   "AppData\\LocalLow", "Application Data",
      "Local Settings",  "Local Settings\\Application Data",
  };
  const size_t profilesLength = LengthWithoutTrailingSeparators(profiles);
  const size_t length = LengthWithoutTrailingSeparators(path);
  if (profilesLength == 0 || length <= profilesLength + 1 || !SameText(path, profiles, profilesLength) ||
      !IsPathSeparator(path[profilesLength]))
    return false;
  // The profile's own name, then what follows it.
  const char* name = path + profilesLength + 1;
  const char* end = path + length;
  const char* nameEnd = name;
  while (nameEnd < end && !IsPathSeparator(*nameEnd)) ++nameEnd;
  if (nameEnd == name) return false;
  if (nameEnd == end) return true;
  const char* rest = nameEnd + 1;
  const size_t restLength = static_cast<size_t>(end - rest);
  for (const char* folder : kept) {
    if (strlen(folder) == restLength && SameText(rest, folder, restLength)) return true;
  }
  return false;
}

bool IsVolumeRootText(const char* path) {
  size_t length = LengthWithoutTrailingSeparators(path);
  const char* end = path + length;
  if (length == 0) return true;
  if (length >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    // "\\?\" and "\\.\" lead to a device or volume name, "\\?\UNC\" to a share.
    if (length >= 4 && (path[2] == '?' || path[2] == '.') && IsPathSeparator(path[3])) {
      const char* rest = path + 4;
      if (end - rest >= 3 && SameText(rest, "unc", 3) && (end - rest == 3 || IsPathSeparator(rest[3])))
        return NameCount(rest + 3, end) <= 2;
      return NameCount(rest, end) <= 1;
    }
    return NameCount(path + 2, end) <= 2;
  }
  return length == 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsSameOrAncestorFolder(const char* folder, const char* other) {
  size_t folderLength = LengthWithoutTrailingSeparators(folder);
  size_t otherLength = LengthWithoutTrailingSeparators(other);
  if (folderLength > otherLength || !SameText(folder, other, folderLength)) return false;
  return folderLength == otherLength || IsPathSeparator(other[folderLength]);
}
