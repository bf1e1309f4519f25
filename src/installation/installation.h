#pragma once
// The player's installation: where it is, as its registry keys and values
// say, and where its resource cache is.

#include <cstdint>

#include "foundation/core/paths.h"

// Where the player is installed: its keys and values below HKEY_LOCAL_MACHINE.
// Every operation that needs the component folder starts from
// ReadComponentPath; nothing else opens the player's keys, except the
// uninstall's Netscape walk and its check, which use the names below.
//
// All values are written as REG_SZ strings, without their terminating zero.
// REG_EXPAND_SZ values read as their expanded text; values of any other type
// read as absent.

class String;

// The player key and its values.
constexpr const char* PlayerKeyPath = "Software\\Quillframe\\Quillframe3";
constexpr const char* PlayerSubkeyName = "Quillframe3";  // the player key below the technology key
constexpr const char* ComponentPathValueName = "Component Path";
constexpr const char* AdditionalDownloadUrlValueName = "Additional Download URL";
// The technology key, parent of the player key, and its own parent.
constexpr const char* TechnologyKeyPath = "Software\\Quillframe";
constexpr const char* TechnologySubkeyName = "Quillframe";
constexpr const char* SoftwareKeyPath = "Software";
// The maker key.
constexpr const char* MakerKeyPath = "Software\\Corvalent";
constexpr const char* ApplicationPathValueName = "Application Path";
// Netscape's keys: every key below NetscapeKeyPath may name a plug-ins folder;
// the current Navigator's is NavigatorKeyPath\<CurrentVersion>\Main.
constexpr const char* NetscapeKeyPath = "SOFTWARE\\Netscape";
constexpr const char* NavigatorKeyPath = "Software\\Netscape\\Netscape Navigator";
constexpr const char* CurrentVersionValueName = "CurrentVersion";
constexpr const char* NavigatorMainSubkeyName = "Main";
constexpr const char* PluginsDirectoryValueName = "Plugins Directory";

// The callers' buffers.
constexpr uint32_t RegistryStringBufferBytes = 8196;
constexpr uint32_t DownloadUrlBufferBytes = 1000;

// Reads "Component Path" of the player key into path (at most 256 characters
// kept) and, when text is given, the whole value into text. True exactly when
// path then names an existing folder. A player key that does not open leaves
// path and text as they were; an absent value empties both.
bool ReadComponentPath(FixedPath& path, String* text = nullptr);
// The same for "Application Path" of the maker key.
bool ReadApplicationPath(FixedPath& path, String* text = nullptr);
// Reads a string value of any key below HKEY_LOCAL_MACHINE into buffer. False
// only when the key does not open; an absent value, or one too long for the
// buffer, leaves the buffer as it was.
bool ReadRegistryString(const char* keyPath, const char* valueName, char (&buffer)[RegistryStringBufferBytes]);
// Reads "Additional Download URL" of the player key; true exactly when the
// value was read whole. The buffer is left as it was otherwise.
bool ReadAdditionalDownloadUrl(char (&buffer)[DownloadUrlBufferBytes]);
// Stores text under valueName in the player key, making the player key and
// the technology key when they are missing. True when the value was stored.
bool SetPlayerValue(const char* valueName, const char* text);
// Removes valueName from the player key; true when it was removed. Without a
// component folder the player keys are removed as well, so that no empty keys
// stay behind on a machine without the player.
bool RemovePlayerValue(const char* valueName);
// Removes the player key, then the technology key. A key that still has
// subkeys may stay; callers that must know check afterwards.
void RemovePlayerKeys();
// Removes the key name below parentPath (HKEY_LOCAL_MACHINE) when it has no
// subkeys; true when it went. The log hears of every removed key.
bool RemoveRegistryKey(const char* parentPath, const char* name);

// The player's resource cache, the folder "Resources" in its component
// folder.

constexpr const char* ResourceCacheFolderName = "Resources";
