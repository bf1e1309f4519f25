#pragma once
// The uninstall, its portable part: the names of the player's files, the
// outcome codes, the libraries and plug-ins it removes, and the recovery.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The names the uninstall looks for: the player's ActiveX control libraries
// in the component folder's subtree and its Netscape plug-in files in every
// Netscape plug-ins folder.

// Player libraries: shared libraries (SharedLibraryExtension, listed with
// SharedLibraryFileType, both in foundation/files/folder_listing.h) whose name begins
// with this prefix, the prefix compared without regard to case.
constexpr const char* PlayerLibraryPrefix = "AxQuillframe";
// The entry each player library unregisters itself through.
constexpr const char* UnregisterEntryName = "DllUnregisterServer";

// The Netscape plug-in files.
constexpr const char* PluginLibraryName = "NPQuillframe3.dll";
constexpr const char* PluginClassName = "Quillframe3.class";

// True when fileName (a name without folders, or none) begins with
// PlayerLibraryPrefix without regard to case.
bool IsPlayerLibraryName(const char* fileName);
// True when fileName (UTF-8, as stored) names a player library: a shared
// library whose name IsPlayerLibraryName.
bool IsPlayerLibraryFileName(const char* fileName);

// Writes folder, one "\" and name into out (capacity bytes, zero-filled
// first, so that the text ends in the double NUL the shell's delete needs).
// False, with out empty, when folder is missing or empty, or when the path
// and its two NULs do not fit.
bool JoinPluginPath(const char* folder, const char* name, char* out, size_t capacity);

// What an uninstall left behind, as codes, and how the option "-u" and the
// window's uninstall command turn them into one outcome.

// The codes of VerifyUninstall.
constexpr int32_t NothingLeft = 0;
constexpr int32_t ComponentFolderLeft = -1;
constexpr int32_t InstallRootLeft = -2;        // empty of files but still there
constexpr int32_t TechnologyKeyLeft = -3;      // or it could not be checked
// The outcome when the check found nothing but a step of the uninstall failed.
constexpr int32_t UninstallStepFailed = 1;

// The outcome of an uninstall: the check's code when it is not NothingLeft;
// otherwise NothingLeft when every step succeeded, else UninstallStepFailed.
int32_t UninstallOutcome(bool uninstalled, int32_t verification);

// The caption of every box that reports a failed uninstall.
constexpr const char* UninstallFailureCaption = "Uninstall Failure";

// The box the window shows for an outcome.
struct UninstallReport {
  const char* caption;
  const char* text;
};

// The report for outcome; an outcome not in the table reads as
// UninstallStepFailed.
UninstallReport UninstallOutcomeReport(int32_t outcome);

// The question the window asks before it uninstalls (it begins with a tab).
constexpr const char* UninstallQuestionCaption = "Uninstall";
constexpr const char* UninstallQuestionText =
    "\tAre you sure you want to Uninstall?\n(Please Exit Netscape and/or Explorer before clicking Yes)";

// Loading the player's libraries to let them unregister themselves, and
// releasing a plug-in library this process has loaded. The program's only
// user of LoadLibraryByFullPath, GetProcAddress, FreeLibrary and
// GetModuleHandleA.

enum class UnregisterResult {
  Unregistered,  // loaded, its entry called when it has one, and released
  NotLoaded,     // the library could not be loaded: nothing was called
  NotReleased,   // its entry ran, but the library could not be released
};

// Loads the library at path (a full path in wide characters, shorter than
// MAX_PATH; an empty one loads nothing), calls its "DllUnregisterServer" when
// it exports one (its result is not examined), and releases it.
UnregisterResult UnregisterLibrary(const wchar_t* path);

// When a library with path is loaded in this process, releases it once, so
// that its file can be deleted.
void ReleaseLoadedLibrary(const char* path);

// Removing the player's Netscape plug-in from every Netscape plug-ins folder.

// Walks every key below "SOFTWARE\Netscape" (HKEY_LOCAL_MACHINE). Each key
// without subkeys whose "Plugins Directory" names a folder has the player's
// plug-in files deleted from that folder; no registry key is removed. A key
// with subkeys is not read itself. Without scheduled, always true. With it,
// a plug-in file that cannot be deleted now is scheduled for removal at the
// next restart (restart_removal.h), its path added to scheduled, and the
// result is false when one is neither deleted nor scheduled.
bool RemoveNetscapePlugins(std::vector<std::string>* scheduled = nullptr);

// The recovery reinstall ("-rcvr"): uninstall the player, then start its full
// installer "QLXFullInstall.exe" from the application folder silently ("-s")
// without waiting for it.

// The result code of "-rcvr": 1 when the application folder or the component
// folder is not found; 0, with nothing started, when the uninstall could not
// run (the settings lock was not had; the log says so); otherwise 1 when the
// installer was started and 0 when starting it failed. What the uninstall
// left is not part of it. A failed start is reported by the program (the box
// "Reinstall Failure" with the reason, and the log), never by the shell.
int32_t RunRecoveryOption();

// Starts the program at path through the shell (verb "open") with
// parameters, shown normally, without waiting for it and without any box of
// the shell. True when it started; otherwise false with the system's error
// code in error.
bool StartInstaller(const char* path, const char* parameters, uint32_t* error);
