#pragma once
// Links inside a folder tree: entries that lead somewhere else (junctions,
// symbolic links, mount points, and any entry whose final path is not where
// it was found). Before a tree is handed to a removal that may follow links,
// every link in it is removed itself, never its target.

// Removes every link inside folder's tree (folder itself excluded), without
// following any. True when no link is left; false, with the tree otherwise
// untouched, when a link cannot be removed as itself (a platform that only
// reaches a link's target), or the tree cannot be examined completely.
bool RemoveLinksInTree(const char* folder);
