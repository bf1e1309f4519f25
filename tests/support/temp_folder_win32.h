#pragma once
// A fresh folder under the Windows temporary folder for one test, removed
// with everything in it when the test ends. Helpers to make and read files.

#include <memory>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's Windows path, without a trailing backslash.
  const std::string& Path() const { return path_; }
  // Path() + "\" + relative.
  std::string operator/(const std::string& relative) const;

 private:
  std::string path_;
};

// The current folder of a program a test starts: given, or else a fresh
// temporary folder made into owned, so that no run writes into the folder
// the tests were started from.
const std::string& CurrentFolderFor(const std::string& given, std::unique_ptr<TempFolder>& owned);

// Writes bytes to a file, creating its folders; false on failure.
bool WriteTextFile(const std::string& path, const std::string& bytes);
// The whole file, or an empty string with *found false when it cannot be read.
std::string ReadTextFile(const std::string& path, bool* found = nullptr);
bool MakeFolders(const std::string& path);
bool PathExists(const std::string& path);
// Removes a file or a folder with its contents (read-only files included).
void RemovePath(const std::string& path);
