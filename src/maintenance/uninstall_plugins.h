#pragma once
// Removing the player's Netscape plug-in from every Netscape plug-ins folder.

// Walks every key below "SOFTWARE\Netscape" (HKEY_LOCAL_MACHINE). Each key
// without subkeys whose "Plugins Directory" names a folder has the player's
// plug-in files deleted from that folder, and the player key is removed once
// per such folder. A key with subkeys is not read itself. Always true.
bool RemoveNetscapePlugins();
