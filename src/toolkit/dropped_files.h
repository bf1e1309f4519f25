#pragma once
// Files dropped on a window from the shell.

#include <windows.h>
#include <shellapi.h>

#include "toolkit/event_record.h"
#include "toolkit/geometry.h"

// Registers the window for dropped files, or takes it off.
void AcceptDroppedFiles(HWND window, bool on);

// Reads the drop point (client coordinates) and every file of the drop into
// files, an array of empty paths from the general heap; a path of 260
// characters or more stays empty at its index. The drop handle is finished in
// any case. False, with nothing allocated, when the array cannot be had.
// Release a collected list with ReleaseDroppedFiles.
bool CollectDroppedFiles(HDROP drop, Point* dropPoint, DroppedFiles* files);
void ReleaseDroppedFiles(DroppedFiles* files);
