#include "inventory/installed_components.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/core/paths.h"
#include "foundation/files/product_version.h"

namespace {

bool NameBefore(const char* first, const char* second) { return strcmp(first, second) < 0; }

bool IsAtoiBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

bool CollectFragments(ProfileDocument& document, TypedArray<Fragment>& fragments) {
  bool complete = true;
  for (int32_t i = 0; i < document.SectionCount(); ++i) {
    ProfileSection* section = nullptr;
    ProfileEntry* fileName = nullptr;
    ProfileEntry* version = nullptr;
    if (document.SectionAt(i, &section) != StatusOk) continue;
    if (section->FindEntry(FragmentFileNameKey, &fileName, false) != StatusOk ||
        section->FindEntry(FragmentVersionKey, &version, false) != StatusOk)
      continue;
    bool added = fragments.Append([&](void* slot) {
      new (slot) Fragment{fileName, version};
      return true;
    });
    if (!added) {
      complete = false;
      break;
    }
  }
  // A stable sort by name keeps the sections of one name in document order,
  // so the first of each run is the first section that named the file.
  Fragment* begin = fragments.data;
  Fragment* end = begin + fragments.count;
  std::stable_sort(begin, end, [](const Fragment& a, const Fragment& b) {
    return NameBefore(a.fileName->Value(), b.fileName->Value());
  });
  Fragment* last = std::unique(begin, end, [](const Fragment& a, const Fragment& b) {
    return strcmp(a.fileName->Value(), b.fileName->Value()) == 0;
  });
  fragments.count = static_cast<int32_t>(last - begin);
  return complete;
}

bool SortComponentFiles(TypedArray<FixedPath>& files) {
  const int32_t count = files.count;
  if (count < 2) return true;
  // Sorting positions and moving every record once afterwards keeps the
  // 261-byte records out of the sort's inner loop.
  std::unique_ptr<int32_t[]> order(new (std::nothrow) int32_t[static_cast<size_t>(count)]);
  std::unique_ptr<FixedPath[]> sorted(new (std::nothrow) FixedPath[static_cast<size_t>(count)]);
  if (!order || !sorted) return false;
  const FixedPath* paths = files.data;
  for (int32_t i = 0; i < count; ++i) order[i] = i;
  std::sort(order.get(), order.get() + count, [paths](int32_t a, int32_t b) {
    int byName = strcmp(FileNameOf(paths[a]), FileNameOf(paths[b]));
    if (byName != 0) return byName < 0;
    return memcmp(&paths[a], &paths[b], sizeof(FixedPath)) < 0;
  });
  // Byte for byte, as the records are compared: the bytes behind the text too.
  for (int32_t i = 0; i < count; ++i)
    memcpy(static_cast<void*>(&sorted[i]), &paths[order[i]], sizeof(FixedPath));
  memcpy(static_cast<void*>(files.data), sorted.get(), sizeof(FixedPath) * static_cast<size_t>(count));
  return true;
}

void FragmentVersionText(const char* value, char* out) {
  const char* p = value;
  while (IsAtoiBlank(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  // Values beyond 32 bits wrap around, as 32-bit arithmetic does.
  uint32_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) number = number * 10u + static_cast<uint32_t>(*p - '0');
  if (negative) number = 0u - number;
  char* end = out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    unsigned part = (number >> shift) & 0xFFu;
    if (part >= 100) *end++ = static_cast<char>('0' + part / 100);
    if (part >= 10) *end++ = static_cast<char>('0' + part / 10 % 10);
    *end++ = static_cast<char>('0' + part % 10);
    if (shift > 0) *end++ = '.';
  }
  *end = '\0';
}

bool ComponentLine(const FixedPath& file, uint32_t version, const char* componentFolder, String& line) {
  return ComponentLine(file.Text(), version, componentFolder, line);
}

bool ComponentLine(const char* file, uint32_t version, const char* componentFolder, String& line) {
  char versionText[ProductVersionTextBytes] = "";
  bool ok;
  if (AppendProductVersionText(version, versionText)) {
    ok = line.Assign("(") && line.Append(versionText) && line.Append(AfterVersionPart);
  } else {
    ok = line.Assign(NoVersionPart);
  }
  const char* inside = componentFolder && *componentFolder ? strstr(file, componentFolder) : nullptr;
  if (inside) {
    ok = ok && line.Append(ComponentFolderMark) && line.Append(inside + strlen(componentFolder));
  } else {
    ok = ok && line.Append(file);
  }
  return ok;
}

bool FragmentLine(const Fragment& fragment, String& line) {
  char versionText[ProductVersionTextBytes];
  FragmentVersionText(fragment.version->Value(), versionText);
  return line.Assign(fragment.fileName->Value()) && line.Append(" (") && line.Append(versionText) &&
         line.Append(")");
}
