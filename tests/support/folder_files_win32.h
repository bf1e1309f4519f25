#pragma once
// What a folder holds, for tests that must see that no stray file was left.

#include <string>
#include <vector>

// The names of the files and folders in folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
