#pragma once
// Links in a folder tree: entries that lead somewhere else (junctions,
// symbolic links, mount points, and any entry whose final path is not where
// it was found). Before a tree is handed to a removal that may follow links,
// every link in it is removed itself, never its target; a tree that is
// itself a link is removed as the link, or not at all.

#include <string>
#include <vector>

// What the sweep of a tree's inside came to.
enum class LinkSweep {
  Swept,      // no link is left in what could be listed
  LinkStays,  // a link cannot be removed as itself (a platform that only reaches its target)
  NotWalked,  // the tree cannot be walked: it cannot be named or a path outgrows the walk
};

// Removes every link inside folder's tree (folder itself excluded), without
// following any. A folder of the tree that cannot be listed is passed over,
// its extended-length path ("\\?\C:\dir") added to unlisted: what it holds
// was not seen. On LinkStays and NotWalked the sweep stopped there: the links
// it found before are removed, nothing else. A folder that does not exist is
// Swept.
LinkSweep RemoveLinksInTree(const char* folder, std::vector<std::wstring>* unlisted);

// True when folder is itself a link (see IsLinkedFolder); false when it is
// none or does not exist.
bool FolderIsLink(const char* folder);

// Removes the link folder itself, never what it leads to; the log hears of
// it. False when it cannot be had as itself (the platform only reaches its
// target): nothing is removed.
bool RemoveFolderLink(const char* folder);
