// Reading product versions through the version library of Win32: the one
// place for GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA,
// loaded from the system folder when the first version is read.
#include "foundation/files/product_version.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "foundation/core/platform_win32.h"

namespace {

// The parse looks at four fields of at most five characters and their commas;
// a copy of 63 characters gives every string the result its whole text gives.
constexpr UINT VersionStringBytes = 64;

typedef DWORD(WINAPI* InfoSizeCall)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* InfoCall)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* QueryCall)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// The version library's calls; all none when it cannot be loaded.
struct VersionCalls {
  InfoSizeCall infoSize;
  InfoCall info;
  QueryCall query;

  bool Loaded() const { return infoSize && info && query; }
};

VersionCalls LoadVersionCalls() {
  return VersionCalls{SystemFunctionAs<InfoSizeCall>(SystemLibrary::Version, "GetFileVersionInfoSizeA"),
                      SystemFunctionAs<InfoCall>(SystemLibrary::Version, "GetFileVersionInfoA"),
                      SystemFunctionAs<QueryCall>(SystemLibrary::Version, "VerQueryValueA")};
}

// The version resource of one file, allocated one byte larger than the
// platform reports, with a NUL in that byte so that no string runs past it.
class VersionBlock {
 public:
  VersionBlock(const VersionCalls& calls, DWORD size)
      : calls_(calls), bytes_(static_cast<char*>(malloc(size + 1))), size_(size) {}
  ~VersionBlock() { free(bytes_); }
  VersionBlock(const VersionBlock&) = delete;
  VersionBlock& operator=(const VersionBlock&) = delete;

  // Reads the resource of path; false when the block is missing or the read failed.
  bool Read(const char* path) {
    if (!bytes_ || !calls_.info(path, 0, size_, bytes_)) return false;
    bytes_[size_] = '\0';
    return true;
  }
  // The value of a sub-block, or none; length receives its length.
  const void* Query(const char* subBlock, UINT* length) {
    void* value = nullptr;
    if (!calls_.query(bytes_, subBlock, &value, length) || !value) return nullptr;
    return value;
  }
  bool Contains(const char* p, UINT count) const { return p >= bytes_ && p + count <= bytes_ + size_ + 1; }

 private:
  const VersionCalls& calls_;
  char* bytes_;
  DWORD size_;
};

}  // namespace

uint32_t ReadProductVersion(const FixedPath& file) {
  static const VersionCalls calls = LoadVersionCalls();
  if (!calls.Loaded()) return 0;
  DWORD ignored = 0;
  DWORD size = calls.infoSize(file.Text(), &ignored);
  if (size == 0) return 0;
  VersionBlock block(calls, size);
  if (!block.Read(file.Text())) return 0;

  UINT tableLength = 0;
  const auto* table = static_cast<const WORD*>(block.Query("\\VarFileInfo\\Translation", &tableLength));
  if (!table || tableLength < 2 * sizeof(WORD)) return 0;
  char subBlock[ProductVersionSubBlockBytes];
  ProductVersionSubBlock(table[0], table[1], subBlock);

  UINT textLength = 0;
  const auto* text = static_cast<const char*>(block.Query(subBlock, &textLength));
  if (!text) return 0;
  // Copy at most the reported length, never beyond the block's end.
  char copy[VersionStringBytes];
  UINT count = 0;
  while (count < textLength && count < VersionStringBytes - 1 && block.Contains(text, count + 1) &&
         text[count] != '\0')
    ++count;
  memcpy(copy, text, count);
  copy[count] = '\0';
  return ParseProductVersion(copy);
}

bool FormatProductVersion(const FixedPath& file, char* out) {
  return AppendProductVersionText(ReadProductVersion(file), out);
}
