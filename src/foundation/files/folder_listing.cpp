#include "foundation/files/folder_listing.h"

#include <cstring>
#include <new>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"

FileList::FileList() : head_(nullptr), alive_(1), matchAll_(1), filter_(), filterLength_(0) {}

FileList::~FileList() { ClearFileList(); }

void FileList::ClearFileList() {
  while (head_) {
    PathNode* next = head_->next;
    delete head_;
    head_ = next;
  }
  leftOut_.clear();
  alive_ = 0;
}

uint32_t FileList::Count() const {
  uint32_t count = 0;
  for (const PathNode* node = head_; node; node = node->next) ++count;
  return count;
}

void FileList::SetFilter(const char* extensionFilter) {
  matchAll_ = !extensionFilter || extensionFilter[0] == '\0' || EqualIgnoringCase(extensionFilter, "*.*");
  filter_[0] = '\0';
  filterLength_ = 0;
  if (matchAll_) return;
  filterLength_ = static_cast<uint32_t>(strlen(extensionFilter));
  uint32_t kept = filterLength_ < FilterBytes ? filterLength_ : FilterBytes - 1;
  memcpy(filter_, extensionFilter, kept);
  filter_[kept] = '\0';
}

bool FileList::Matches(const char* fileName) const {
  if (matchAll_) return true;
  const char* extension = FileExtension(fileName);
  return strlen(extension) == filterLength_ && EqualIgnoringCase(extension, filter_);
}

Status FileList::AddPath(const char* path) {
  PathNode* node = new (std::nothrow) PathNode;
  if (!node) return StatusNoMemory;
  node->path.SetText(path);
  node->next = head_;
  head_ = node;
  return StatusOk;
}
