#pragma once
// Links and drive letters for tests of folder walks and removals.
//
// Windows makes symbolic links with CreateSymbolicLinkA and drive letters
// with DefineDosDeviceA. Wine (8.0) accepts neither call for real: its
// CreateSymbolicLinkA succeeds without making anything. Under Wine the
// helpers make Unix symbolic links instead, which Wine shows as links (a
// linked folder carries FILE_ATTRIBUTE_REPARSE_POINT), and map a drive letter
// by a link in the prefix's "dosdevices" folder, running the Unix "ln" and
// "rm" as Wine programs can, and wait up to ten seconds for Wine to see the
// change. A link or drive not seen in time is not made; one that cannot be
// removed in time fails the running test.

#include <string>

bool IsRunningUnderWine();

// The kinds of link a test makes. Under Wine both are Unix symbolic links:
// Wine (8.0) makes no junction (FSCTL_SET_REPARSE_POINT answers
// ERROR_NOT_SUPPORTED) and shows a linked folder as a reparse point either way.
enum class LinkKind {
  Symbolic,  // a symbolic link, to a file or a folder
  Junction,  // a folder's mount point, to a folder
};

// A link to target (an existing file or folder) for the lifetime of the
// object; the link itself is removed at the end, never its target.
class SymbolicLink {
 public:
  SymbolicLink(const std::string& link, const std::string& target, LinkKind kind = LinkKind::Symbolic);
  ~SymbolicLink();
  SymbolicLink(const SymbolicLink&) = delete;
  SymbolicLink& operator=(const SymbolicLink&) = delete;

  // False when this platform or account cannot make links, or Wine did not
  // show the link in time. Under Wine links can always be made, so tests fail
  // rather than skip when this is false there.
  bool Made() const { return made_; }

 private:
  std::string link_;
  bool made_ = false;
  bool toFolder_ = false;
};

// A free drive letter mapped to an existing folder for the lifetime of the
// object, so that tests can work on a volume root that holds only their own
// files.
class DriveMapping {
 public:
  explicit DriveMapping(const std::string& folder);
  ~DriveMapping();
  DriveMapping(const DriveMapping&) = delete;
  DriveMapping& operator=(const DriveMapping&) = delete;

  // False when no letter is free, the system refuses the mapping, or Wine
  // did not show the drive in time (under Wine a test then fails).
  bool Mapped() const { return letter_ != 0; }
  // "R:\" for the letter R.
  std::string Root() const;
  char Letter() const { return letter_; }

 private:
  char letter_ = 0;
  std::string folder_;
  std::string unixLink_;  // under Wine: the prefix's dosdevices entry
};
