#include "inventory/component_inventory.h"

#include <cstring>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"
#include "foundation/files/folder_listing.h"
#include "foundation/files/product_version.h"
#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_file.h"
#include "installation/installation.h"

namespace {

// The component folder's scans, as the collector of a version check.
void CollectFromFolder(void* componentFolder, CollectedEnough enough, void* check) {
  CollectComponentFiles(*static_cast<const FixedPath*>(componentFolder), enough, check);
}

}  // namespace

int32_t InventoryComponents(const FixedPath& componentFolder, const FixedPath* versionList) {
  ComponentFiles.ClearArray();
  ComponentFilesLeftOut.clear();
  if (versionList) return VerifyVersionList(componentFolder, *versionList);
  CollectComponentFiles(componentFolder);
  return 0;
}

int32_t VerifyVersionList(const FixedPath& componentFolder, const FixedPath& versionList) {
  ProfileDocument document;
  // A file that cannot be read leaves the document without sections; a
  // malformed one leaves what was parsed before the fault.
  ReadProfile(document, versionList);
  FixedPath folder(componentFolder);
  return VerifyVersionDocument(document, ComponentFiles, ReadProductVersion, CollectFromFolder, &folder);
}

// The five scans of the component collection. Folders are walked with
// FileList; the Netscape keys are read with ReadRegistryString.

namespace {

constexpr const char* EveryFile = "*.*";

// Scans componentFolder\name when it is an existing folder of the tree. A
// name that does not fit after the folder is passed over: the cut path would
// name the component folder itself. A link is passed over too: nothing
// outside the installation is collected through one.
void AddLibrariesInSubfolder(const FixedPath& componentFolder, const char* name) {
  FixedPath folder(componentFolder);
  if (folder.AppendName(name) != StatusOk || !folder.IsFolder()) return;
  if (IsLinkInFolder(componentFolder.Text(), name)) return;
  if (folder.AppendName("") != StatusOk) return;
  AddLibrariesInFolder(folder, SharedLibraryExtension);
}

}  // namespace

void AddLibrariesInFolder(const FixedPath& folder, const char* extension) {
  FileList files;
  files.ListFiles(folder, extension, SharedLibraryFileType, false);
  for (const PathNode* node = files.First(); node; node = node->next) AppendPathCopy(ComponentFiles, node->path);
  ComponentFilesLeftOut.insert(ComponentFilesLeftOut.end(), files.LeftOut().begin(), files.LeftOut().end());
  files.ClearFileList();
}

bool ReadNavigatorPluginsFolder(FixedPath& folder) {
  char version[RegistryStringBufferBytes] = "";
  if (!ReadRegistryString(NavigatorKeyPath, CurrentVersionValueName, version) || version[0] == '\0') return false;

  String keyPath;
  if (!keyPath.Assign(NavigatorKeyPath) || !keyPath.AppendCharacter('\\') || !keyPath.Append(version) ||
      !keyPath.AppendCharacter('\\') || !keyPath.Append(NavigatorMainSubkeyName))
    return false;

  char plugins[RegistryStringBufferBytes] = "";
  if (!ReadRegistryString(keyPath.Text(), PluginsDirectoryValueName, plugins) || plugins[0] == '\0') return false;
  // A cut path would name some other folder, perhaps one far up the tree.
  if (strlen(plugins) > FixedPath::SetTextLimit) return false;
  folder.SetText(plugins);
  return folder.AppendName("") == StatusOk;
}

void AddNavigatorPluginFiles() {
  FixedPath folder;
  if (!ReadNavigatorPluginsFolder(folder)) return;
  FileList files;
  files.ListFiles(folder, EveryFile, 0, true);
  // Names are judged as stored: a file reached through its short name
  // ("NPQUIL~1.DLL") is the player's by its own name.
  for (const PathNode* node = files.First(); node; node = node->next) {
    const std::string name = FileNameOf(TruePathUtf8(node->path.Text()).c_str());
    if (IsPlayerPluginFileName(name.c_str())) AppendPathCopy(ComponentFiles, node->path);
  }
  for (const std::string& path : files.LeftOut())
    if (IsPlayerPluginFileName(FileNameOf(path.c_str()))) ComponentFilesLeftOut.push_back(path);
  files.ClearFileList();
}

void CollectComponentFiles(const FixedPath& componentFolder, CollectedEnough enough, void* context) {
  FixedPath folder(componentFolder);
  if (folder.AppendName("") == StatusOk) AddLibrariesInFolder(folder, SharedLibraryExtension);
  const char* const subfolders[] = {ComponentsFolderName, NewComponentsFolderName, PluginsFolderName};
  for (const char* name : subfolders) {
    if (enough && enough(context)) return;
    AddLibrariesInSubfolder(componentFolder, name);
  }
  if (enough && enough(context)) return;
  AddNavigatorPluginFiles();
}
