#pragma once
// The toolkit application: its set-up and shut-down, and the operations on
// the module table of the caller's context.

#include <cstdint>

#include "foundation/core/paths.h"

// Setting the window toolkit up and down, and the application record with its
// module table. The program calls ToolkitStartUp first, with the instance
// handle Windows gave the process, and ToolkitShutDown last, also when the
// start-up failed. Between the two every toolkit operation may rely on the
// context; dialogs take the instance handle for their templates from the
// module table under ProgramModuleKey.

// The key of the program's own instance handle and file in the module table.
constexpr int32_t ProgramModuleKey = 25001;

// Attaches the context and counts one start; the first start creates the
// application record and registers instance (when not 0) with the program's
// file under ProgramModuleKey. False when the context cannot be attached or
// the record cannot be created; the context then stays attached.
bool ToolkitStartUp(void* instance);
// Counts one start less; the last one removes the program's registration and
// destroys the record. Then detaches the context and returns whether the
// caller had one.
bool ToolkitShutDown();

// The module table of the caller's context. All of these fail (false, or 0
// for a handle) when there is no context or no application record.
// Registers (handle, key) with a copy of path; a pair is registered once.
bool RegisterModule(void* handle, int32_t key, const FixedPath* path);
// Removes the first entry with key.
bool UnregisterModule(int32_t key);
// The handle of the first entry with key, or 0.
void* ModuleHandleForKey(int32_t key);
// Copies the path of the first entry with key into out.
bool ModuleFileForKey(int32_t key, FixedPath& out);
