// The uninstall sequence and its check.
#include "maintenance/uninstall.h"

#include "foundation/file_list.h"
#include "foundation/protected_folder.h"
#include "foundation/tree_removal.h"
#include "foundation/wide_tree_walk_win32.h"
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

// True when the install root of componentFolder may be removed once it is
// empty: it is not a protected folder (see IsProtectedFolder), checked both
// as the uninstall names it (the path text's parent) and as the folder
// really above the component folder, for a path with "." or "..". A player
// installed straight into a drive root or a shared folder ("C:\Quillframe3",
// "C:\Program Files (x86)\Quillframe3") keeps that folder.
bool IsRemovableInstallRoot(const FixedPath& componentFolder) {
  FixedPath root(componentFolder);
  if (root.AppendName("") != StatusOk || !root.ToParent() || IsProtectedFolder(root)) return false;
  FixedPath above(componentFolder);
  return above.AppendName("..") == StatusOk && !IsProtectedFolder(above);
}

// Ends the walk of FolderIsEmpty at the first entry that is not a folder
// that can be entered: a file, or a link of any kind.
bool OnlyFolders(void*, const WideEntry& entry) {
  return !entry.isLink && (entry.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
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
  if (!componentFolder.IsFolder() || IsProtectedFolder(componentFolder)) return false;
  const bool rootRemovable = IsRemovableInstallRoot(componentFolder);
  RemovePlayerValue(AdditionalDownloadUrlValueName);
  componentFolder.AppendName("");

  FileList libraries;
  libraries.ListFiles(componentFolder, SharedLibraryExtension, SharedLibraryFileType, true);
  bool succeeded = UnregisterPlayerLibraries(owner, libraries);
  RemoveNetscapePlugins();

  if (RemoveTree(componentFolder, true, true) != StatusOk) succeeded = false;
  if (componentFolder.IsFolder()) {
    // What is left must stay removable by running the uninstall again once
    // its files are free: the player key keeps its "Component Path".
    return false;
  }
  componentFolder.ToParent();
  if (rootRemovable && FolderIsEmpty(componentFolder) && RemoveTree(componentFolder, true, true) != StatusOk)
    succeeded = false;
  RemovePlayerKeys();
  return succeeded;
}

bool FolderIsEmpty(const FixedPath& folder) { return WalkTreeWide(folder.Text(), OnlyFolders, nullptr); }

int32_t VerifyUninstall(FixedPath& componentFolder) {
  if (componentFolder.IsFolder()) return ComponentFolderLeft;
  componentFolder.AppendName("");
  componentFolder.ToParent();
  // A protected install root is kept on purpose, not left behind.
  if (FolderIsEmpty(componentFolder) && !IsProtectedFolder(componentFolder)) return InstallRootLeft;
  return RegistryKey::KeyPresence(TechnologyKeyPath) == RegistryKey::Presence::Missing ? NothingLeft
                                                                                        : TechnologyKeyLeft;
}
