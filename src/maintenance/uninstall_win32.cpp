// The uninstall sequence and its check.
#include "maintenance/uninstall.h"

#include "foundation/file_list.h"
#include "foundation/protected_folder.h"
#include "foundation/tree_removal.h"
#include "maintenance/installation_locations.h"
#include "maintenance/registry_key.h"
#include "maintenance/uninstall_libraries.h"
#include "maintenance/uninstall_names.h"
#include "maintenance/uninstall_outcome.h"
#include "maintenance/uninstall_plugins.h"
#include "shell/message_boxes.h"

namespace {

constexpr const char* NotLoadedText = "Could not Load ActiveX Component.\n (Please Exit Netscape and/or Explorer)";
constexpr const char* NotReleasedText =
    "Could not Uninstall ActiveX Component.\n (Please Exit Netscape and/or Explorer)";

// True when neither componentFolder nor its install root is a protected
// folder (see IsProtectedFolder). The install root is checked both as the
// uninstall will name it (the path text's parent) and as the folder really
// above the component folder, for a path with "." or "..".
bool IsRemovableInstallation(const FixedPath& componentFolder) {
  if (IsProtectedFolder(componentFolder)) return false;
  FixedPath root(componentFolder);
  if (root.AppendName("") != StatusOk || !root.ToParent() || IsProtectedFolder(root)) return false;
  FixedPath above(componentFolder);
  return above.AppendName("..") == StatusOk && !IsProtectedFolder(above);
}

// Lets every player library in the listed files unregister itself. False
// when one could not be loaded or released; each such library is reported in
// a box of its own.
bool UnregisterPlayerLibraries(HWND owner, const FileList& files) {
  bool succeeded = true;
  for (const PathNode* node = files.First(); node; node = node->next) {
    if (!IsPlayerLibraryName(node->path.FileNamePart())) continue;
    switch (UnregisterLibrary(node->path.Text())) {
      case UnregisterResult::Unregistered:
        break;
      case UnregisterResult::NotLoaded:
        ShowInfo(owner, UninstallFailureCaption, NotLoadedText);
        succeeded = false;
        break;
      case UnregisterResult::NotReleased:
        ShowInfo(owner, UninstallFailureCaption, NotReleasedText);
        succeeded = false;
        break;
    }
  }
  return succeeded;
}

}  // namespace

bool UninstallPlayer(HWND owner, FixedPath componentFolder) {
  if (!componentFolder.IsFolder() || !IsRemovableInstallation(componentFolder)) return false;
  RemovePlayerValue(AdditionalDownloadUrlValueName);
  componentFolder.AppendName("");

  FileList libraries;
  libraries.ListFiles(componentFolder, SharedLibraryExtension, SharedLibraryFileType, true);
  bool succeeded = UnregisterPlayerLibraries(owner, libraries);
  RemoveNetscapePlugins();

  if (RemoveTree(componentFolder, true, true) != StatusOk) succeeded = false;
  if (componentFolder.IsFolder()) succeeded = false;
  componentFolder.ToParent();
  if (FolderIsEmpty(componentFolder) && RemoveTree(componentFolder, true, true) != StatusOk) succeeded = false;
  RemovePlayerKeys();
  return succeeded;
}

bool FolderIsEmpty(const FixedPath& folder) {
  FileList files;
  files.ListFiles(folder, "*.*", 0, true);
  return files.First() == nullptr;
}

int32_t VerifyUninstall(FixedPath& componentFolder) {
  if (componentFolder.IsFolder()) return ComponentFolderLeft;
  componentFolder.AppendName("");
  componentFolder.ToParent();
  if (FolderIsEmpty(componentFolder) && componentFolder.IsFolder()) return InstallRootLeft;
  return RegistryKey::KeyPresence(TechnologyKeyPath) == RegistryKey::Presence::Missing ? NothingLeft
                                                                                        : TechnologyKeyLeft;
}
