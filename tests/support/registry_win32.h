#pragma once
// Sets up and removes registry keys below HKEY_LOCAL_MACHINE for tests, the
// way the player's installer writes them (REG_SZ without a terminating zero).

#include <string>

bool SetMachineString(const std::string& keyPath, const std::string& valueName, const std::string& value);
// The value, or found false.
std::string MachineString(const std::string& keyPath, const std::string& valueName, bool* found);
bool MachineKeyExists(const std::string& keyPath);
// Removes the key with all its subkeys and values.
void DeleteMachineKeyTree(const std::string& keyPath);
