#pragma once
// Links and drive letters for tests of folder walks and removals.
//
// Windows makes symbolic links with CreateSymbolicLinkA and drive letters
// with DefineDosDeviceA. Wine (8.0) accepts neither call for real: its
// CreateSymbolicLinkA succeeds without making anything. Under Wine the
// helpers make Unix symbolic links instead, which Wine shows as links (a
// linked folder carries FILE_ATTRIBUTE_REPARSE_POINT), and map a drive letter
// by a link in the prefix's "dosdevices" folder, running the Unix "ln" and
// "rm" as Wine programs can.

#include <string>

bool IsRunningUnderWine();

// A symbolic link to target (an existing file or folder) for the lifetime of
// the object; the link itself is removed at the end, never its target.
class SymbolicLink {
 public:
  SymbolicLink(const std::string& link, const std::string& target);
  ~SymbolicLink();
  SymbolicLink(const SymbolicLink&) = delete;
  SymbolicLink& operator=(const SymbolicLink&) = delete;

  // False when this platform or account cannot make links.
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

  bool Mapped() const { return letter_ != 0; }
  // "R:\" for the letter R.
  std::string Root() const;
  char Letter() const { return letter_; }

 private:
  char letter_ = 0;
  std::string folder_;
  std::string unixLink_;  // under Wine: the prefix's dosdevices entry
};
