#pragma once
// What a folder holds, for tests that must see that no stray file was left.

#include <string>
#include <vector>

// The names of the files and folders in folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
// The full paths of every file and folder under folder, sorted; links are
// listed but not followed.
std::vector<std::string> TreeContents(const std::string& folder);
