#include "toolkit/dropped_files.h"

#include <new>

#include "foundation/system_libraries_win32.h"
#include "toolkit/memory.h"

namespace {

constexpr UINT FileCountQuery = 0xFFFFFFFFu;

// The shell's drag-and-drop calls, loaded from the system folder on first use
// like every shell32 call of the program.
typedef void(WINAPI* AcceptCall)(HWND, BOOL);
typedef BOOL(WINAPI* PointCall)(HDROP, POINT*);
typedef UINT(WINAPI* QueryCall)(HDROP, UINT, LPSTR, UINT);
typedef void(WINAPI* FinishCall)(HDROP);

void Finish(HDROP drop) {
  auto finish = SystemFunctionAs<FinishCall>(SystemLibrary::Shell, "DragFinish");
  if (finish) finish(drop);
}

}  // namespace

void AcceptDroppedFiles(HWND window, bool on) {
  auto accept = SystemFunctionAs<AcceptCall>(SystemLibrary::Shell, "DragAcceptFiles");
  if (accept) accept(window, on ? TRUE : FALSE);
}

bool CollectDroppedFiles(HDROP drop, Point* dropPoint, DroppedFiles* files) {
  ZeroBytes(files, sizeof *files);
  auto queryPoint = SystemFunctionAs<PointCall>(SystemLibrary::Shell, "DragQueryPoint");
  auto queryFile = SystemFunctionAs<QueryCall>(SystemLibrary::Shell, "DragQueryFileA");
  if (!queryPoint || !queryFile) {
    Finish(drop);
    return false;
  }
  POINT point = {0, 0};
  queryPoint(drop, &point);
  *dropPoint = Point{static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
  UINT count = queryFile(drop, FileCountQuery, nullptr, 0);
  FixedPath* paths = new (std::nothrow) FixedPath[count];
  if (!paths) {
    Finish(drop);
    return false;
  }
  for (UINT i = 0; i < count; ++i) {
    UINT length = queryFile(drop, i, nullptr, 0);
    if (length + 1 <= FixedPath::TextBytes) queryFile(drop, i, paths[i].text, length + 1);
  }
  Finish(drop);
  files->present = 1;
  files->count = count;
  files->files = paths;
  return true;
}

void ReleaseDroppedFiles(DroppedFiles* files) {
  delete[] files->files;
  ZeroBytes(files, sizeof *files);
}
