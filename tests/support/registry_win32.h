#pragma once
// Sets up and removes registry keys below HKEY_LOCAL_MACHINE for tests, the
// way the player's installer writes them (REG_SZ without a terminating zero),
// in the 32-bit view of the registry, where the 32-bit player keeps them.

#include <windows.h>

#include <string>

bool SetMachineString(const std::string& keyPath, const std::string& valueName, const std::string& value);
// The value, or found false.
std::string MachineString(const std::string& keyPath, const std::string& valueName, bool* found);
bool MachineKeyExists(const std::string& keyPath);
// Removes the key with all its subkeys and values.
void DeleteMachineKeyTree(const std::string& keyPath);

// Stores raw bytes of any type, the way other programs may have left a value.
// The registry adds a terminator to a string whose next byte in memory is NUL;
// a byte other than NUL behind the data keeps a value unterminated.
bool SetRawMachineValue(const std::string& keyPath, const char* name, DWORD type, const std::string& bytes);
// The stored bytes of a value, exactly as many as the registry holds, and its
// type (REG_NONE when absent); found, when asked, false when it is absent.
std::string RawMachineValue(const std::string& keyPath, const char* name, DWORD* type, bool* found = nullptr);
// Whether stored (raw bytes) is text as the program stores it: without its
// terminator, or with the one the registry itself adds when the byte behind
// the text is NUL, as it always is behind a C text.
bool StoredAsText(const std::string& stored, const std::string& text);
