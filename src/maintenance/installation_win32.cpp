// The player's registry keys, read and changed through RegistryKey; the
// resource cache and the install path.
#include "maintenance/installation.h"

#include "foundation/strings.h"
#include "foundation/tree_removal.h"
#include "maintenance/registry_key.h"

namespace {

// Reads a folder value whole: the path keeps what SetText keeps, the text
// all of it, however long.
bool ReadFolderValue(const char* keyPath, const char* valueName, FixedPath& path, String* text) {
  RegistryKey key;
  if (!key.Open(keyPath)) return false;
  String value;
  bool found = key.ReadString(valueName, &value);
  key.Close();
  path.SetText(found ? value.Text() : nullptr);
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
  // A write refused (no right to change the key) is a failure like any other.
  return player.SetString(valueName, text);
}

bool RemovePlayerValue(const char* valueName) {
  bool removed = false;
  {
    RegistryKey player;
    if (player.Open(PlayerKeyPath)) removed = player.DeleteValue(valueName);
  }
  FixedPath folder;
  if (!ReadComponentPath(folder)) RemovePlayerKeys();
  return removed;
}

void RemovePlayerKeys() {
  {
    RegistryKey technology;
    if (technology.Open(TechnologyKeyPath)) technology.DeleteSubkey(PlayerSubkeyName);
  }
  RegistryKey software;
  if (software.Open(SoftwareKeyPath)) software.DeleteSubkey(TechnologySubkeyName);
}

CacheOutcome RemoveResourceCache(FixedPath componentFolder) {
  if (componentFolder.AppendName(ResourceCacheFolderName) != StatusOk || !componentFolder.IsFolder())
    return CacheOutcome::NotFound;
  componentFolder.AppendName("");
  return RemoveTree(componentFolder, true, true) == StatusOk ? CacheOutcome::Removed : CacheOutcome::NotRemoved;
}
