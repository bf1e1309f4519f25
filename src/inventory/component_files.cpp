#include "inventory/component_files.h"

// Constant-initialised (no block, count 0), so it is usable before any
// constructor of the program runs; its destructor frees the block at exit.
TypedArray<FixedPath> ComponentFiles;
