#pragma once
// The component inventory: collects the installed component files into
// ComponentFiles and, given a version list, verifies them against it.

#include <cstdint>

#include "foundation/fixed_path.h"

// Empties ComponentFiles and collects the files of componentFolder (an
// existing folder, as ReadComponentPath found it). With a version list,
// returns VerifyVersionList of it. Without one, shows the installed-components
// window and returns 0 once it is closed.
int32_t InventoryComponents(const FixedPath& componentFolder, const FixedPath* versionList);

// Verifies ComponentFiles against the version-list file: 0 when every listed
// library is present with its version, n when pair n is the first that is
// not, VersionListUnusable (-3) when the file gives no pairs (missing,
// unreadable, without the section "DLL_Versions", or unbalanced).
int32_t VerifyVersionList(const FixedPath& versionList);
