#pragma once
// Listing folders: the files of a folder (and of its tree) with a given
// extension, and where an entry really leads, so that a walk never leaves the
// tree through a link.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/core/paths.h"
#include "foundation/core/status.h"
#include "foundation/core/strings.h"

// FileList: the full paths of the files found by listing a folder, optionally
// with its whole subtree, filtered by extension. Paths are added at the head,
// so the list runs from the last file found to the first. The list owns its
// nodes; ClearFileList and the destructor free them.
//
// The walk makes each listed folder the process's current directory in turn
// and puts the previous current directory back when it ends. It never follows
// a link (a reparse point: junction, symbolic link, mount point): a linked
// folder is not entered and a linked file is not listed. A folder is a folder
// by its directory attribute bit, whatever other attributes it carries.
//
// The walk sees every entry by its name as stored. An entry whose name the
// ANSI code page cannot hold is reached through its short (8.3) name, which
// is then the name in its listed path (and in the folders entered below it);
// where the volume keeps no such short name the entry is left out, never
// mistaken for another: a file the filter passes is then named in
// LeftOut() and in the operations log, a folder in the log.

// Shared libraries as ListFiles is asked for them: the extension filter and
// the file type code.
constexpr const char* SharedLibraryExtension = ".dll";
constexpr uint32_t SharedLibraryFileType = FourCharacterCode("shlb");

struct PathNode {
  FixedPath path;
  PathNode* next;
};

class FileList {
 public:
  // The filter text kept; a longer filter matches no file.
  static constexpr uint32_t FilterBytes = FixedPath::TextBytes;

  FileList();
  virtual ~FileList();
  FileList(const FileList&) = delete;
  FileList& operator=(const FileList&) = delete;

  // Sets the filter (none, "" or "*.*" in any case match every file; otherwise
  // an extension such as ".dll", compared without regard to case) and adds
  // every matching file of folder, and of its subfolders when recurse is set.
  // fileTypeCode is a four-character file type; this platform's listing does
  // not use it. Always StatusOk: a folder that cannot be entered adds nothing.
  Status ListFiles(const FixedPath& folder, const char* extensionFilter, uint32_t fileTypeCode, bool recurse);

  // The files the filter passed that no ANSI call can reach, by their full
  // paths as stored (UTF-8), in the order found; emptied by ListFiles.
  const std::vector<std::string>& LeftOut() const { return leftOut_; }
  void AddLeftOut(const std::string& path) { leftOut_.push_back(path); }

  // Frees every node; the list is then empty and no longer alive.
  void ClearFileList();

  // The most recently added path, or none.
  const PathNode* First() const { return head_; }
  uint32_t Count() const;
  bool IsAlive() const { return alive_ != 0; }
  bool MatchesAll() const { return matchAll_ != 0; }

  // Sets the filter as ListFiles does.
  void SetFilter(const char* extensionFilter);
  // True when the extension of fileName passes the filter.
  bool Matches(const char* fileName) const;
  // Adds path at the head (SetText keeps at most 256 characters).
  // StatusNoMemory, list unchanged, when the node cannot be allocated.
  Status AddPath(const char* path);

 private:
  PathNode* head_;
  uint8_t alive_;
  uint8_t matchAll_;
  char filter_[FilterBytes];
  uint32_t filterLength_;  // the filter's whole length, even when longer than filter_ holds
  std::vector<std::string> leftOut_;
};

// True when the entry name inside folder is a link: a reparse point, or an
// entry that leads somewhere other than folder\name. A walk that must stay
// inside a tree passes over such an entry. A name that does not fit after
// the folder counts as a link.
bool IsLinkInFolder(const char* folder, const char* name);
