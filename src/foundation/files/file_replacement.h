#pragma once
// Replacing a file whole: a new file is written beside the old one and then
// put in its place in one step, so that readers see either the old file or
// the complete new one, never a part.

#include <cstdint>

#include "foundation/core/paths.h"
#include "foundation/core/status.h"

// Makes a new empty file in the folder of target under a name that no file
// there has, and sets *created to its path. StatusIoError when none can be
// made (the folder is missing or refuses new files, or the path is too long).
Status CreateSiblingFile(const FixedPath& target, FixedPath* created);

// True when name (without folders) is a name CreateSiblingFile gives.
bool IsSiblingFileName(const char* name);

// Removes the files CreateSiblingFile made in the folder of target that are
// left there: those of writers that were ended before they could move their
// file into place. A file that a writer still holds open cannot be removed
// and stays. Callers that hold the settings lock run it before they write:
// no other writer of theirs is then at work. The number of files removed.
int RemoveStaleSiblingFiles(const FixedPath& target);

// Puts the file at source in the place of target in one step, replacing a
// target that exists, read-only or not, and has the move written through to
// the disk. A target file held open by another program is tried again a few
// times after short waits (see MoveMayClearUp); a folder in the way is not.
// StatusIoError when it cannot be done: target is then as it was and source
// is still there.
Status MoveIntoPlace(const FixedPath& source, const FixedPath& target);

// True when a move that failed with the system error code error may succeed
// when tried again: another program's handle on the target file (sharing or
// lock violation, access denied) clears up when that program closes the
// file. Never when the target is a folder, which stays in the way.
bool MoveMayClearUp(uint32_t error, bool targetIsFolder);
