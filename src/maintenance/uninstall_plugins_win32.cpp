// The Netscape walk of the uninstall.
#include "maintenance/uninstall_plugins.h"

#include <cstdint>

#include "foundation/fixed_path.h"
#include "foundation/shell_delete.h"
#include "maintenance/installation_locations.h"
#include "maintenance/registry_key.h"
#include "maintenance/uninstall_libraries.h"
#include "maintenance/uninstall_names.h"

namespace {

constexpr uint32_t PluginsDirectoryBytes = 256;
constexpr uint32_t SubkeyNameBytes = 512;
// Netscape's keys are a few levels deep; the bound keeps a registry link
// that leads back up from walking forever.
constexpr int MaximumKeyDepth = 32;

// Deletes the plug-in files from folder, releasing the plug-in library first
// when this process has it loaded.
void RemovePluginFiles(const char* folder) {
  char library[FixedPath::TextBytes];
  char classFile[FixedPath::TextBytes];
  bool libraryNamed = JoinPluginPath(folder, PluginLibraryName, library, sizeof library);
  bool classNamed = JoinPluginPath(folder, PluginClassName, classFile, sizeof classFile);
  if (libraryNamed) ReleaseLoadedLibrary(library);
  {
    RegistryKey technology;
    if (technology.Open(TechnologyKeyPath)) technology.DeleteSubkey(PlayerSubkeyName);
  }
  // A missing file is no error: most folders hold no plug-in.
  if (libraryNamed) ShellDelete(library);
  if (classNamed) ShellDelete(classFile);
}

void VisitKey(const RegistryKey* parent, const char* name, int depth) {
  if (!name || !*name || depth > MaximumKeyDepth) return;
  RegistryKey key;
  if (!key.OpenForReading(name, parent)) return;
  uint32_t subkeys = 0;
  if (!key.CountSubkeys(&subkeys)) return;
  if (subkeys == 0) {
    // A value too long for the buffer names no folder; an empty one names
    // none either (it would send the deletion to the root of the drive).
    char folder[PluginsDirectoryBytes] = {};
    if (key.ReadString(PluginsDirectoryValueName, folder, sizeof folder) && folder[0]) RemovePluginFiles(folder);
    return;
  }
  for (uint32_t index = 0; index < subkeys; ++index) {
    char subkey[SubkeyNameBytes];
    if (key.SubkeyName(index, subkey, sizeof subkey)) VisitKey(&key, subkey, depth + 1);
  }
}

}  // namespace

bool RemoveNetscapePlugins() {
  VisitKey(nullptr, NetscapeKeyPath, 0);
  return true;
}
