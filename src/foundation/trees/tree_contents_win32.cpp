#include "foundation/trees/tree_contents.h"

#include <windows.h>

#include <string>

#include "foundation/core/platform_win32.h"
#include "foundation/log/operations_log.h"
#include "foundation/trees/tree_walk_win32.h"

namespace {

// Ends the walk of FolderIsEmpty at the first entry that is not a folder
// that can be entered: a file, or a link of any kind.
bool OnlyFolders(void*, const TreeEntry& entry) { return entry.IsFolderEntered(); }

struct TreeSize {
  uint64_t files = 0;
  uint64_t bytes = 0;
};

// Counts every entry that is not a folder entered by the walk: files and links.
bool CountFile(void* context, const TreeEntry& entry) {
  if (entry.IsFolderEntered()) return true;
  auto* size = static_cast<TreeSize*>(context);
  ++size->files;
  if (!entry.isLink)
    size->bytes += (static_cast<uint64_t>(entry.found.nFileSizeHigh) << 32) | entry.found.nFileSizeLow;
  return true;
}

// What the system's answer error means to a person, when it is one of the
// answers a removal meets most; empty otherwise.
std::string KnownRefusal(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return "in use by another program";
  if (error == ERROR_ACCESS_DENIED) return "access denied";
  return std::string();
}

// Why a file stays after a removal, as the system answers a request to
// delete it.
bool ReportKeptFile(void*, const TreeEntry& entry) {
  if (entry.IsFolderEntered()) return true;
  FileHandle file(entry.path.Text(), DELETE, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  const DWORD error = file.IsOpen() ? ERROR_SUCCESS : GetLastError();
  std::string why = KnownRefusal(error);
  if (why.empty()) {
    why = "could not be deleted";
    if (error != ERROR_SUCCESS) why += " (error " + std::to_string(error) + ")";
  }
  LogEventUtf8(LogEventKind::Failed, "kept " + Quoted(ReadableUtf8(entry.path).c_str()) + ": " + why);
  return true;
}

// A folder stays, with all it holds, when it cannot be listed: why, as the
// system answered the listing.
void ReportUnlistedFolder(void*, const WidePath& folder, DWORD error) {
  std::string why = KnownRefusal(error);
  if (why.empty()) why = "error " + std::to_string(error);
  LogEventUtf8(LogEventKind::Failed, "kept folder " + QuotedFolder(ReadableUtf8(folder).c_str()) + ": its contents cannot be listed (" +
               why + ")");
}

}  // namespace

bool FolderIsEmpty(const FixedPath& folder) { return WalkTree(folder.Text(), OnlyFolders, nullptr); }

bool MeasureTree(const FixedPath& folder, uint64_t* fileCount, uint64_t* byteCount) {
  TreeSize size;
  const bool whole = WalkTree(folder.Text(), CountFile, &size);
  if (fileCount) *fileCount = size.files;
  if (byteCount) *byteCount = size.bytes;
  return whole;
}

void LogFilesKept(const char* folder) { WalkTree(folder, ReportKeptFile, nullptr, ReportUnlistedFolder); }
