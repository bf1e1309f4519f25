#pragma once
// Writes on a full disk. The test harness mounts a small volume for them
// (scripts/small-volume.sh) and names its root in PROFILE_FULL_VOLUME.

#include <string>

// The small volume's root (e.g. "R:\"), or empty when the harness gave none.
std::string SmallVolumeRoot();

// Fills the free space of a volume with one file, removed again on destruction.
class VolumeFiller {
 public:
  // Writes the file at path until the volume refuses more.
  explicit VolumeFiller(const std::string& path);
  ~VolumeFiller();
  VolumeFiller(const VolumeFiller&) = delete;
  VolumeFiller& operator=(const VolumeFiller&) = delete;

  // True when the volume was filled: the last write was refused.
  bool Full() const { return full_; }

 private:
  std::string path_;
  bool full_ = false;
};
