#pragma once
// ComponentFiles: the full paths of the component files that the last
// inventory collected, in the order of collection. It lives for the whole
// process: it exists, empty, before the program's entry point runs, and its
// paths and block are released when the process ends. Each inventory empties
// it first; the installed-components window sorts it in place. A file found
// by two scans is in it twice.
//
// One thread only: two inventories must not run at the same time.

#include "foundation/fixed_path.h"
#include "foundation/typed_array.h"

extern TypedArray<FixedPath> ComponentFiles;
