#pragma once
// The toolkit application: its set-up and shut-down, the table of modules,
// and the toolkit's operations on the parts of a path.

#include <cstdint>

#include "foundation/paths.h"

// ModuleTable: which module handle and which file path belong to a numeric
// key. Used entries stay packed at the front in registration order; an entry
// whose handle and key are both 0 is free, and a used entry always has a
// handle. Each used entry owns its path, a FixedPath in a block from the
// toolkit's memory routines, released when the entry is removed or the table
// is destroyed.

struct ModuleEntry {
  void* handle;  // the module handle; 0 marks a free entry (with key 0)
  int32_t key;
  FixedPath* path;  // owned; none only while the entry is free
};

struct ModuleTable {
  static constexpr uint32_t Size = 256;

  ModuleEntry entries[Size] = {};

  ModuleTable() = default;
  ~ModuleTable();
  ModuleTable(const ModuleTable&) = delete;
  ModuleTable& operator=(const ModuleTable&) = delete;
};

// Adds (handle, key) with a copy of path in the first free entry. False when
// handle is 0 or path is none, when the very pair is already present, when
// all entries are used, or when the path cannot be allocated or copied; the
// table is then unchanged.
bool AddModule(ModuleTable& table, void* handle, int32_t key, const FixedPath* path);
// Removes the first entry with key, releasing its path, and moves the later
// entries down by one. False when no entry has the key.
bool RemoveModule(ModuleTable& table, int32_t key);
// The handle of the first entry with key, or 0.
void* FindModuleHandle(const ModuleTable& table, int32_t key);
// Copies the path of the first entry with key into out; false when no entry
// has the key or the copy fails.
bool FindModuleFile(const ModuleTable& table, int32_t key, FixedPath& out);
// The number of used entries.
uint32_t ModuleCount(const ModuleTable& table);

// The toolkit's operations on a FixedPath: clearing it, splitting it into
// drive, directory, name and extension and joining such parts (by the Windows
// C runtime's rules for _splitpath and _makepath, done here within bounds),
// copying a path through its parts, and pointing a path at the program's own
// file or at a file beside it.

// The four parts of a path, each NUL-terminated.
struct PathParts {
  static constexpr uint32_t DriveBytes = 3;
  static constexpr uint32_t DirectoryBytes = 256;
  static constexpr uint32_t NameBytes = 256;
  static constexpr uint32_t ExtensionBytes = 256;

  char drive[DriveBytes];          // "C:" or empty
  char directory[DirectoryBytes];  // with its trailing separator, or empty
  char name[NameBytes];            // the base name
  char extension[ExtensionBytes];  // from the last dot of the name on, or empty
};

// Empties the path (its first byte becomes NUL).
void ClearPath(FixedPath& path);

// Splits the path into out, which is cleared first. The drive is the first two
// characters when the second is ":"; the directory runs to the last "\" or "/"
// included; the extension starts at the last dot after it. False, with out
// left cleared, when a part does not fit its field.
bool SplitParts(const FixedPath& path, PathParts& out);

// Builds the path from its parts (any may be none): the drive's first
// character and ":", the directory with a "\" added when it ends in neither
// separator, the name, and the extension with a "." added in front when it
// lacks one. False, with the path left empty, when the lengths of the given
// parts add up to 260 or more or the joined path would reach 260 characters.
bool SetFromParts(FixedPath& path, const char* drive, const char* directory, const char* name,
                  const char* extension);

// Makes path a copy of other by splitting and joining it. False when other is
// none (path unchanged), or when a part does not fit or the join fails (path
// left empty).
bool CopyByParts(FixedPath& path, const FixedPath* other);

// True when name is not none and shorter than 260 characters.
bool FitsPath(const char* name);

// No name: the program's own file path. With a name: the program's drive and
// directory joined with name as the file-name part, so the name keeps its own
// extension and any folders of its own. False, with the previous path kept,
// when the program's file name cannot be read, the name does not fit or the
// join fails.
bool SetToProgramFile(FixedPath& path, const char* name);

// Setting the window toolkit up and down, and the application record with its
// module table. The program calls ToolkitStartUp first, with the instance
// handle Windows gave the process, and ToolkitShutDown last, also when the
// start-up failed. Between the two every toolkit operation may rely on the
// context; dialogs take the instance handle for their templates from the
// module table under ProgramModuleKey.

// The key of the program's own instance handle and file in the module table.
constexpr int32_t ProgramModuleKey = 25001;

// Created by the first ToolkitStartUp, destroyed by the matching last
// ToolkitShutDown; kept in the context.
class ToolkitApp {
 public:
  ToolkitApp() = default;
  virtual ~ToolkitApp() = default;
  ToolkitApp(const ToolkitApp&) = delete;
  ToolkitApp& operator=(const ToolkitApp&) = delete;

  uint32_t startCount = 0;
  ModuleTable modules;
};

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
