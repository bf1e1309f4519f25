#pragma once
// What an uninstall scheduled for removal at the next restart, remembered in
// the program's own settings file (SiteSettingsFileName beside the program),
// so that "/status" and a second uninstall know that the player is removed
// but for a restart once its keys are gone. Each path is one entry
// "Path = ..." (UTF-8, by its true name) of the section "PendingRemoval". A
// path counts only while the system's pending-rename list still holds it:
// after the restart it is nothing, and the next change forgets it.

#include <string>
#include <vector>

constexpr const char* PendingRemovalSectionName = "PendingRemoval";
constexpr const char* PendingRemovalKey = "Path";

// Adds paths to the record, forgetting first the paths the restart has
// removed; the file is made with the built-in sites when it is missing. The
// caller holds the settings lock. False when the file could not be written.
bool RememberPendingRemoval(const std::vector<std::string>& paths);

// The remembered paths that the pending-rename list still holds, in their
// order. Changes nothing.
std::vector<std::string> PendingRemovalPaths();
