#pragma once
// The toolkit's memory routines.

#include <cstddef>

// Every toolkit record, module-table path,
// dialog template and GrowArray block comes from here, and so do the control
// objects of the windows; all of it lives on the global heap, where a block
// may move when it is resized.

// A new block of size bytes, cleared when zeroFill is set; none on failure.
void* ToolkitAlloc(size_t size, bool zeroFill);
// Releases a block from ToolkitAlloc or ToolkitRealloc; none is ignored.
void ToolkitFree(void* block);
// Resizes a block; it may move. With zeroFill the bytes added by growth are
// cleared. None in gives none out. A resize to 0 bytes is refused (none, the
// block stays as it was): free the block instead. On failure the old block is
// still valid.
void* ToolkitRealloc(void* block, size_t size, bool zeroFill);
// The size of a block in bytes; 0 for none.
size_t ToolkitBlockSize(const void* block);
// Fills count bytes with 0; used for every record the toolkit clears.
void ZeroBytes(void* buffer, size_t count);
