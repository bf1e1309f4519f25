#pragma once
// Removal at the next restart of what cannot be removed now (a file another
// program holds open, the folders that hold it): the system's pending-rename
// list, which Windows works through at its next start, in order, before any
// program can hold the files again. Only what a removal may remove is ever
// put there: the checks of protected folders, links and folders that cannot
// be listed are RemoveTree's (tree_removal.h).
//
// Adding to the list needs an administrator's rights (it is a value of
// HKEY_LOCAL_MACHINE). A run that describes its changes ("/whatif")
// schedules nothing and says what it would schedule: what another program
// holds against deletion at that moment (HeldAgainstDeletion).

#include <string>
#include <vector>

#include "foundation/core/paths.h"

// The pending-rename list: a REG_MULTI_SZ value of this key below
// HKEY_LOCAL_MACHINE, pairs of "\??\C:\..." source and target, an empty
// target for a removal.
constexpr const char* SessionManagerKeyPath = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* PendingRenamesValueName = "PendingFileRenameOperations";

// True when this process runs with an administrator's rights, which adding
// to the pending-rename list needs.
bool MayScheduleAtRestart();

// True when another program holds the file or folder at path so that it
// cannot be deleted now. Asked by opening it for deletion, which changes
// nothing: the open fails with a sharing violation.
bool HeldAgainstDeletion(const FixedPath& path);

// True when a file or folder in the tree of folder (or folder itself) is held
// against deletion.
bool TreeHoldsEntryHeldAgainstDeletion(const FixedPath& folder);

// Puts the file or folder at path on the pending-rename list for removal;
// scheduled receives its path (UTF-8, by its true name) and the log hears of
// it. False when the system refused it.
bool ScheduleRemovalAtRestart(const FixedPath& path, std::vector<std::string>* scheduled);

// Finishes the removal of the tree of folder that RemoveTree could not
// remove whole: each entry that can be removed now is removed, and every
// other one is scheduled, files before their folders, the deepest first,
// folder itself last. Refused before anything is removed or scheduled, with
// the reason logged: a protected folder, a folder that is itself a link, a
// tree holding a link or a folder that cannot be listed, and a process
// without an administrator's rights. scheduled receives each scheduled path.
// True when everything of the tree is removed or scheduled.
bool RemoveTreeNowOrAtRestart(const FixedPath& folder, std::vector<std::string>* scheduled);
