#include "toolkit/dropped_files.h"

#include <new>

#include "toolkit/memory.h"

namespace {

constexpr UINT FileCountQuery = 0xFFFFFFFFu;

}  // namespace

void AcceptDroppedFiles(HWND window, bool on) { DragAcceptFiles(window, on ? TRUE : FALSE); }

bool CollectDroppedFiles(HDROP drop, Point* dropPoint, DroppedFiles* files) {
  ZeroBytes(files, sizeof *files);
  POINT point = {0, 0};
  DragQueryPoint(drop, &point);
  *dropPoint = Point{static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
  UINT count = DragQueryFileA(drop, FileCountQuery, nullptr, 0);
  FixedPath* paths = new (std::nothrow) FixedPath[count];
  if (!paths) {
    DragFinish(drop);
    return false;
  }
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileA(drop, i, nullptr, 0);
    if (length + 1 <= FixedPath::TextBytes) DragQueryFileA(drop, i, paths[i].text, length + 1);
  }
  DragFinish(drop);
  files->present = 1;
  files->count = count;
  files->files = paths;
  return true;
}

void ReleaseDroppedFiles(DroppedFiles* files) {
  delete[] files->files;
  ZeroBytes(files, sizeof *files);
}
