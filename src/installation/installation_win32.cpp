// The player's registry keys, read and changed through RegistryKey; the
// resource cache and the install path.
#include "installation/installation.h"

#include <cstring>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/strings.h"
#include "foundation/log/operations_log.h"
#include "installation/registry_key.h"

namespace {

// A player value as the log shows it (UTF-8): its key and name.
std::string PlayerValueName(const char* valueName) {
  return std::string("registry value HKLM\\") + PlayerKeyPath + " " + Quoted(Utf8OfAnsi(valueName).c_str());
}

// The value as stored before a change, for the log (UTF-8, read as stored so
// that no character is lost); none when it is missing.
std::string StoredBefore(const RegistryKey& key, const char* valueName) {
  std::string old;
  return key.IsOpen() && key.ReadStoredUtf8(valueName, &old) ? Quoted(old.c_str()) : Quoted(nullptr);
}


// The folder a value names, in the form the ANSI calls reach it, replacing
// value: for a folder named outside the ANSI code page the ANSI read gives a
// look-alike ("C:\Player\Omega?") that names another folder or none, so the
// folder is reached through its short form. False when the value as stored
// has no such form (the folder does not exist, or the volume keeps no short
// name the code page holds): value is then left as read, for the callers
// that show it, but names no folder.
bool ReachFolderAsStored(const RegistryKey& key, const char* valueName, String& value) {
  std::wstring stored;
  std::string exact;
  if (!key.ReadWideString(valueName, &stored, true) || ExactAnsiOfWide(stored.c_str(), &exact)) return true;
  std::string reachable;
  return AnsiPathOf(stored.c_str(), &reachable) && value.Assign(reachable.c_str());
}

// Reads a folder value whole: the path names the folder when the value, in
// the form the ANSI calls reach it, fits a path whole (SetText's limit), and
// no folder otherwise, never the folder its cut text would name (logged);
// the text is all of it, however long.
bool ReadFolderValue(const char* keyPath, const char* valueName, FixedPath& path, String* text) {
  RegistryKey key;
  if (!key.Open(keyPath)) return false;
  String value;
  const bool found = key.ReadString(valueName, &value);
  const bool reached = found && ReachFolderAsStored(key, valueName, value);
  const bool fits = !reached || value.Length() <= FixedPath::SetTextLimit;
  if (!fits && LogIsOpen()) {
    std::string stored;
    key.ReadStoredUtf8(valueName, &stored);
    LogfUtf8("%s of HKLM\\%s names no folder: its %lu characters do not fit a path of at most %lu (%s)",
             Quoted(valueName).c_str(), keyPath, static_cast<unsigned long>(value.Length()),
             static_cast<unsigned long>(FixedPath::SetTextLimit), Quoted(stored.c_str()).c_str());
  }
  key.Close();
  path.SetText(reached && fits ? value.Text() : nullptr);
  if (text) text->Assign(value.TextOrEmpty());
  return path.IsFolder();
}

}  // namespace

bool ReadComponentPath(FixedPath& path, String* text) {
  return ReadFolderValue(PlayerKeyPath, ComponentPathValueName, path, text);
}

bool ReadApplicationPath(FixedPath& path, String* text) {
  return ReadFolderValue(MakerKeyPath, ApplicationPathValueName, path, text);
}

bool ReadRegistryString(const char* keyPath, const char* valueName, char (&buffer)[RegistryStringBufferBytes]) {
  RegistryKey key;
  if (!key.Open(keyPath)) return false;
  key.ReadString(valueName, buffer, RegistryStringBufferBytes);
  return true;
}

bool ReadAdditionalDownloadUrl(char (&buffer)[DownloadUrlBufferBytes]) {
  RegistryKey key;
  if (!key.Open(PlayerKeyPath)) return false;
  return key.ReadString(AdditionalDownloadUrlValueName, buffer, DownloadUrlBufferBytes);
}

bool SetPlayerValue(const char* valueName, const char* text) {
  RegistryKey player;
  if (!player.Open(PlayerKeyPath)) {
    RegistryKey technology;
    if (!technology.Open(TechnologyKeyPath) && !technology.Create(TechnologyKeyPath)) return false;
    if (!player.Create(PlayerKeyPath)) return false;
  }
  const std::string before = LogIsOpen() ? StoredBefore(player, valueName) : std::string();
  const std::string after = Quoted(Utf8OfAnsi(text ? text : "").c_str());
  // A value that already holds the text is not written again: the key keeps
  // its time stamp.
  String current;
  if (player.ReadString(valueName, &current) && strcmp(current.TextOrEmpty(), text ? text : "") == 0) {
    LogEventUtf8(PlayerValueName(valueName) + ": " + before + " (unchanged)");
    return true;
  }
  // A write refused (no right to change the key) is a failure like any other.
  const bool stored = player.SetString(valueName, text);
  const std::string change = PlayerValueName(valueName) + ": " + before + " -> " + after;
  if (stored) {
    LogChangeUtf8(LogEventKind::Written, change, "set " + change);
  } else {
    LogEventUtf8(LogEventKind::Failed, "could not set " + PlayerValueName(valueName) + " to " + after);
  }
  return stored;
}

bool RemovePlayerValue(const char* valueName) {
  bool removed = false;
  {
    RegistryKey player;
    if (player.Open(PlayerKeyPath)) {
      const std::string before = LogIsOpen() ? StoredBefore(player, valueName) : std::string();
      removed = player.DeleteValue(valueName);
      const std::string change = PlayerValueName(valueName) + ": " + before + " -> (removed)";
      if (removed) LogChangeUtf8(LogEventKind::Removed, change, "remove " + change);
    }
  }
  FixedPath folder;
  if (!ReadComponentPath(folder)) RemovePlayerKeys();
  return removed;
}

bool RemoveRegistryKey(const char* parentPath, const char* name) {
  RegistryKey parent;
  if (!parent.Open(parentPath) || !parent.DeleteSubkey(name)) return false;
  const std::string key = std::string("registry key HKLM\\") + parentPath + "\\" + name;
  LogChange(LogEventKind::Removed, "removed " + key, "remove " + key);
  return true;
}

void RemovePlayerKeys() {
  RemoveRegistryKey(TechnologyKeyPath, PlayerSubkeyName);
  RemoveRegistryKey(SoftwareKeyPath, TechnologySubkeyName);
}
