#include "support/folder_files_win32.h"

#include <windows.h>

#include <algorithm>

namespace {

// Calls visit with the find data of every entry of folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") visit(name, found);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void AddTree(const std::string& folder, std::vector<std::string>& paths) {
  ForEachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAA& found) {
    const std::string path = folder + "\\" + name;
    paths.push_back(path);
    const bool isLink = found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink) AddTree(path, paths);
  });
}

}  // namespace

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  ForEachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAA&) { names.push_back(name); });
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> TreeContents(const std::string& folder) {
  std::vector<std::string> paths;
  AddTree(folder, paths);
  std::sort(paths.begin(), paths.end());
  return paths;
}
