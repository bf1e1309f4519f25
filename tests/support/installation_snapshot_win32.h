#pragma once
// Everything of an installation a run may change, as entries of text, so
// that two snapshots compare equal exactly when nothing changed: every file and
// folder of a tree with its attributes, time of last write and bytes, and
// every key and value below registry keys with their types and raw bytes.

#include <string>
#include <vector>

// The tree of folder, one entry each (UTF-8 names, relative to folder,
// sorted): folders,
// files with attributes, time of last write and every byte, and links by
// what they are (never followed).
std::vector<std::string> TreeSnapshot(const std::string& folder);

// The keys below HKEY_LOCAL_MACHINE named by keyPaths, in the 32-bit view
// where the player keeps them: each key's subkeys and values (name, type,
// raw bytes), one entry each, or that the key is missing.
std::vector<std::string> RegistrySnapshot(const std::vector<std::string>& keyPaths);
