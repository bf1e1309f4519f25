// The uninstall sequence and its check, the player's libraries unregistering
// themselves, the Netscape plug-ins, the window's uninstall command and the
// recovery reinstall.
#include "maintenance/uninstall.h"
#include "maintenance/uninstall_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/strings.h"
#include "foundation/core/what_if.h"
#include "foundation/files/folder_search_win32.h"
#include "foundation/log/operations_log.h"
#include "foundation/trees/protected_folders.h"
#include "foundation/trees/restart_removal.h"
#include "foundation/trees/shell_delete.h"
#include "foundation/trees/tree_contents.h"
#include "foundation/trees/tree_removal.h"
#include "foundation/trees/tree_walk_win32.h"
#include "installation/installation.h"
#include "installation/registry_key.h"
#include "installation/settings_lock.h"
#include "toolkit/message_boxes_win32.h"

namespace {

// A folder as the log shows it (UTF-8): quoted, by its true name.
std::string ShownFolder(const FixedPath& folder) {
  return QuotedFolder(LoggedPath(folder.Text()).c_str());
}

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

// A player library found in the component folder's tree: the path the
// loader takes (ShortEnoughPath; empty when there is none) and its true full
// path for the log.
struct PlayerLibrary {
  std::wstring loaderPath;
  std::string shown;
};

// Adds a file the tree walk found to the player libraries (a
// std::vector<PlayerLibrary>) when its name as stored names one. A link is
// never loaded: it may lead out of the tree.
bool AddPlayerLibrary(void* context, const TreeEntry& entry) {
  if (entry.isLink || (entry.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  if (!IsPlayerLibraryFileName(Utf8OfWide(entry.found.cFileName).c_str())) return true;
  static_cast<std::vector<PlayerLibrary>*>(context)->push_back({ShortEnoughPath(entry.path), ReadableUtf8(entry.path)});
  return true;
}

// Lets every player library in the tree of componentFolder unregister
// itself, each found by its name as stored (a name outside the ANSI code
// page, a path longer than the program's paths) and loaded by its wide path.
// False when one could not be loaded or released, each such library reported
// in a box of its own, or when the tree could not be searched whole.
bool UnregisterPlayerLibraries(HWND owner, const FixedPath& componentFolder) {
  std::vector<PlayerLibrary> libraries;
  bool succeeded = WalkTree(componentFolder.Text(), AddPlayerLibrary, &libraries);
  if (!succeeded)
    LogfUtf8(LogEventKind::Failed, "could not search every folder of %s for the player's libraries: a library there stays registered",
             ShownFolder(componentFolder).c_str());
  // The last one found first.
  for (auto found = libraries.rbegin(); found != libraries.rend(); ++found) {
    const UnregisterResult result = UnregisterLibrary(found->loaderPath.c_str());
    const std::string library = "library " + Quoted(found->shown.c_str());
    if (result == UnregisterResult::Unregistered) {
      LogChangeUtf8(LogEventKind::Unregistered, "unregistered " + library, "unregister " + library);
    } else {
      LogEventUtf8(LogEventKind::Failed, (result == UnregisterResult::NotLoaded ? "could not load " : "could not release ") + library);
    }
    switch (result) {
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

// True when the install root at root holds nothing but componentFolder, so
// that it is empty once that folder goes.
bool HoldsOnly(const FixedPath& root, const FixedPath& componentFolder) {
  WidePath pattern;
  WidePath component;
  if (!pattern.SetFromAnsi(root.Text()) || !component.SetFromAnsi(componentFolder.Text()) || !pattern.Append(L"*"))
    return false;
  FolderSearch search(pattern.Text());
  if (!search.Found()) return false;
  const wchar_t* componentName = wcsrchr(component.Text(), L'\\');
  int others = 0;
  bool componentFound = false;
  do {
    if (search.AtDotEntry()) continue;
    if (componentName && _wcsicmp(search.Name(), componentName + 1) == 0) {
      componentFound = true;
    } else {
      ++others;
    }
  } while (search.Next());
  return componentFound && others == 0;
}

// Finishes at restart the removal of the component folder that could not be
// removed now, and of the install root when it holds nothing else. False when
// something of them is neither removed nor scheduled.
bool FinishAtRestart(const FixedPath& componentFolder, bool rootRemovable, RestartRemoval& restart) {
  if (!RemoveTreeNowOrAtRestart(componentFolder, &restart.scheduled)) return false;
  FixedPath root(componentFolder);
  root.ToParent();
  if (!rootRemovable || !HoldsOnly(root, componentFolder)) return true;
  return ScheduleRemovalAtRestart(root, &restart.scheduled);
}

}  // namespace

bool UninstallPlayer(HWND owner, FixedPath componentFolder, RestartRemoval* restart) {
  if (!componentFolder.IsFolder()) return false;
  if (IsProtectedFolder(componentFolder)) {
    LogfUtf8(LogEventKind::Refused, "refused to uninstall from %s: a protected folder (a drive root, the Windows folder or a shared "
             "folder); nothing was changed",
             ShownFolder(componentFolder).c_str());
    return false;
  }
  const bool rootRemovable = IsRemovableInstallRoot(componentFolder);
  RemovePlayerValue(AdditionalDownloadUrlValueName);
  componentFolder.AppendName("");

  bool succeeded = UnregisterPlayerLibraries(owner, componentFolder);
  if (!RemoveNetscapePlugins(restart ? &restart->scheduled : nullptr)) succeeded = false;

  // A run that describes its changes sees every removal succeed: what
  // another program holds now is foretold as left for the restart.
  const bool foretoldHeld = restart && ChangesAreDescribed() && TreeHoldsEntryHeldAgainstDeletion(componentFolder);
  const bool treeRemoved = !foretoldHeld && RemoveTree(componentFolder, true, true) == StatusOk;
  if (componentFolder.IsFolder() && restart && FinishAtRestart(componentFolder, rootRemovable, *restart)) {
    // What is left goes at the next restart: the player's keys go now, as a
    // Windows installer's do for a product removed but for a restart.
    RemovePlayerKeys();
    restart->finished = succeeded;
    return succeeded;
  }
  if (!treeRemoved) succeeded = false;
  if (componentFolder.IsFolder()) {
    // What is left must stay removable by running the uninstall again once
    // its files are free: the player key keeps its "Component Path".
    LogfUtf8(LogEventKind::Failed, "kept the player's registry keys: the component folder %s is still there; run the uninstall again once "
             "its files are free",
             ShownFolder(componentFolder).c_str());
    return false;
  }
  componentFolder.ToParent();
  if (!rootRemovable) {
    LogfUtf8("kept the install root %s: a protected folder", ShownFolder(componentFolder).c_str());
  } else if (!FolderIsEmpty(componentFolder)) {
    LogfUtf8("kept the install root %s: it holds other files", ShownFolder(componentFolder).c_str());
  } else if (RemoveTree(componentFolder, true, true) != StatusOk) {
    succeeded = false;
  }
  RemovePlayerKeys();
  if (restart) restart->finished = succeeded;
  return succeeded;
}

int32_t VerifyUninstall(FixedPath& componentFolder) {
  if (componentFolder.IsFolder()) return ComponentFolderLeft;
  componentFolder.AppendName("");
  componentFolder.ToParent();
  // A protected install root is kept on purpose, not left behind.
  if (FolderIsEmpty(componentFolder) && !IsProtectedFolder(componentFolder)) return InstallRootLeft;
  return RegistryKey::KeyPresence(TechnologyKeyPath) == RegistryKey::Presence::Missing ? NothingLeft
                                                                                        : TechnologyKeyLeft;
}

// The player's libraries over LoadLibraryExW and its kin: each is loaded by
// its full path, its dependencies looked for beside it and in the system
// folder, never in the program's folder or the current folder.

namespace {

typedef HRESULT(WINAPI* UnregisterEntry)();

}  // namespace

UnregisterResult UnregisterLibrary(const wchar_t* path) {
  // A run that describes its changes loads no library: loading one runs its
  // code, and unregistering it changes the registry.
  if (ChangesAreDescribed()) return UnregisterResult::Unregistered;
  HMODULE library = *path ? LoadLibraryByFullPath(path) : nullptr;
  if (!library) return UnregisterResult::NotLoaded;
  FARPROC entry = GetProcAddress(library, UnregisterEntryName);
  if (entry) reinterpret_cast<UnregisterEntry>(reinterpret_cast<void*>(entry))();
  return FreeLibrary(library) ? UnregisterResult::Unregistered : UnregisterResult::NotReleased;
}

void ReleaseLoadedLibrary(const char* path) {
  if (ChangesAreDescribed()) return;
  HMODULE loaded = GetModuleHandleA(path);
  if (loaded) FreeLibrary(loaded);
}

// The Netscape walk of the uninstall.

namespace {

constexpr uint32_t PluginsDirectoryBytes = 256;
constexpr uint32_t SubkeyNameBytes = 512;
// Netscape's keys are a few levels deep; the bound keeps a registry link
// that leads back up from walking forever.
constexpr int MaximumKeyDepth = 32;

// Deletes one plug-in file (a path with the shell's double NUL) when it is
// there, and tells the log what became of it. With scheduled, a file that
// stays is scheduled for removal at the next restart. False when it is
// neither removed nor scheduled.
bool DeletePluginFile(const char* path, std::vector<std::string>* scheduled) {
  FixedPath file;
  file.SetText(path);
  if (!file.Exists()) return true;
  // A run that describes its changes foretells a file held now as left for
  // the restart.
  if (ChangesAreDescribed() && scheduled && HeldAgainstDeletion(file))
    return MayScheduleAtRestart() && ScheduleRemovalAtRestart(file, scheduled);
  ShellDelete(path);
  const std::string what = "file " + Quoted(path);
  if (!file.Exists()) {
    LogChange(LogEventKind::Removed, "removed " + what, "remove " + what);
    return true;
  }
  LogEvent(LogEventKind::Failed, "could not remove " + what);
  return scheduled && MayScheduleAtRestart() && ScheduleRemovalAtRestart(file, scheduled);
}

// Deletes the plug-in files from folder, releasing the plug-in library first
// when this process has it loaded. Nothing else: the player's keys name the
// component folder until it is gone (UninstallPlayer).
bool RemovePluginFiles(const char* folder, std::vector<std::string>* scheduled) {
  char library[FixedPath::TextBytes];
  char classFile[FixedPath::TextBytes];
  bool libraryNamed = JoinPluginPath(folder, PluginLibraryName, library, sizeof library);
  bool classNamed = JoinPluginPath(folder, PluginClassName, classFile, sizeof classFile);
  if (libraryNamed) ReleaseLoadedLibrary(library);
  // A missing file is no error: most folders hold no plug-in.
  bool removed = !libraryNamed || DeletePluginFile(library, scheduled);
  if (classNamed && !DeletePluginFile(classFile, scheduled)) removed = false;
  return removed;
}

// Visits the Netscape key name below parent; false when a plug-in file of a
// folder it names is neither removed nor scheduled.
bool VisitKey(const RegistryKey* parent, const char* name, int depth, std::vector<std::string>* scheduled) {
  if (!name || !*name || depth > MaximumKeyDepth) return true;
  RegistryKey key;
  if (!key.OpenForReading(name, parent)) return true;
  uint32_t subkeys = 0;
  if (!key.CountSubkeys(&subkeys)) return true;
  if (subkeys == 0) {
    // A value too long for the buffer names no folder; an empty one names
    // none either (it would send the deletion to the root of the drive).
    char folder[PluginsDirectoryBytes] = {};
    if (key.ReadString(PluginsDirectoryValueName, folder, sizeof folder) && folder[0])
      return RemovePluginFiles(folder, scheduled);
    return true;
  }
  bool removed = true;
  for (uint32_t index = 0; index < subkeys; ++index) {
    char subkey[SubkeyNameBytes];
    if (key.SubkeyName(index, subkey, sizeof subkey) && !VisitKey(&key, subkey, depth + 1, scheduled)) removed = false;
  }
  return removed;
}

}  // namespace

bool RemoveNetscapePlugins(std::vector<std::string>* scheduled) {
  // Without scheduling, a plug-in file that stays is the log's to tell.
  return VisitKey(nullptr, NetscapeKeyPath, 0, scheduled) || !scheduled;
}

int32_t UninstallAndVerify(HWND owner, FixedPath& componentFolder) {
  bool uninstalled = UninstallPlayer(owner, componentFolder);
  return UninstallOutcome(uninstalled, VerifyUninstall(componentFolder));
}

int32_t RunUninstallOption(RestartRemoval* restart) {
  // Declared before the lock, so that its boxes wait for a person only once
  // the lock is let go.
  DeferredBoxes boxes;
  SettingsLock lock;
  FixedPath componentFolder;
  if (!ReadComponentPath(componentFolder)) return NoPlayerCode;
  if (!lock.Held()) return UninstallStepFailed;
  const bool uninstalled = UninstallPlayer(nullptr, componentFolder, restart);
  return UninstallOutcome(uninstalled, VerifyUninstall(componentFolder));
}

// The recovery reinstall; the one place for ShellExecuteExA.

namespace {

constexpr const char* InstallerFileText = "\\QLXFullInstall.exe";
constexpr const char* SilentParameter = "-s";
constexpr int32_t NotFoundCode = 1;
constexpr int32_t InstallerStartedCode = 1;
// Nothing started: the installer could not be started, or the uninstall
// before it could not run.
constexpr int32_t RecoveryFailedCode = 0;
static_assert(SEE_MASK_FLAG_DDEWAIT == 0x100 && SW_SHOWNORMAL == 1, "the mask and show state of the start");
constexpr const char* ReinstallFailureCaption = "Reinstall Failure";

typedef BOOL(WINAPI* ExecuteCall)(SHELLEXECUTEINFOA*);

}  // namespace

bool StartInstaller(const char* path, const char* parameters, uint32_t* error) {
  // A run that describes its changes starts nothing.
  if (ChangesAreDescribed()) return true;
  auto execute = SystemFunctionAs<ExecuteCall>(SystemLibrary::Shell, "ShellExecuteExA");
  if (!execute) {
    *error = ERROR_PROC_NOT_FOUND;
    return false;
  }
  SHELLEXECUTEINFOA start = {};
  start.cbSize = sizeof start;
  // No box of the shell's own: a failure is reported by the program, which
  // knows whether a person is there to see it.
  start.fMask = SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
  start.hwnd = nullptr;
  start.lpVerb = "open";
  start.lpFile = path;
  start.lpParameters = parameters;
  start.lpDirectory = "";
  start.nShow = SW_SHOWNORMAL;
  if (execute(&start)) return true;
  *error = GetLastError();
  return false;
}

int32_t RunRecoveryOption() {
  FixedPath applicationFolder;
  String installer;
  bool applicationFound = ReadApplicationPath(applicationFolder, &installer);
  FixedPath componentFolder;
  if (!applicationFound || !ReadComponentPath(componentFolder)) return NotFoundCode;
  {
    // The installer starts whatever the uninstall left, but only once it has
    // run: an installer started beside another run's change would install
    // into a folder being changed, and the code would say it was started.
    DeferredBoxes boxes;  // shown once the lock is let go
    SettingsLock lock;
    if (!lock.Held()) {
      LogEvent(LogEventKind::Refused, "did not start the installer: the uninstall could not run");
      return RecoveryFailedCode;
    }
    UninstallPlayer(nullptr, componentFolder);
    VerifyUninstall(componentFolder);
  }
  uint32_t error = ERROR_NOT_ENOUGH_MEMORY;
  const bool started =
      installer.Append(InstallerFileText) && StartInstaller(installer.Text(), SilentParameter, &error);
  const char* path = installer.TextOrEmpty();
  if (started) {
    const std::string installer = "the installer " + Quoted(LoggedPath(path).c_str()) + " " + SilentParameter;
    LogChangeUtf8(LogEventKind::InstallerStarted, "started " + installer, "start " + installer);
    return InstallerStartedCode;
  }
  const std::string reason = SystemErrorText(error);
  LogfUtf8(LogEventKind::Failed, "could not start the installer \"%s\" %s: %s", LoggedPath(path).c_str(), SilentParameter,
           Utf8OfAnsi(reason.c_str()).c_str());
  const std::string text = "Could not start the installer\n\"" + std::string(path) + "\":\n" + reason;
  ShowInfo(nullptr, ReinstallFailureCaption, text.c_str());
  return RecoveryFailedCode;
}
