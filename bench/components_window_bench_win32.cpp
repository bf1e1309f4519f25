// The installed-components window over a large installation: count
// versioned component libraries and count fragments in the update version
// list, from the command (InventoryComponents without a version list, then
// ShowInstalledComponents) to the window shown with both lists filled, beside
// two floors measured in the same process and the same Wine, round by round:
// - reading the libraries' product versions with bare version-library calls
//   (what the left list costs at the least: one version per file);
// - filling two plain list boxes on a dialog with the same lines (made
//   beforehand), redrawing off.
//
//   components_window_bench <library> <folder> [count] [rounds]
//
// Prints the medians and the ratios. Every pass must list every file and
// fragment.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/core/paths.h"
#include "foundation/files/product_version.h"
#include "inventory/component_inventory.h"
#include "inventory/installed_components.h"
#include "inventory/installed_components_win32.h"
#include "toolkit/application.h"
#include "toolkit/window_manager_win32.h"
#include "version_floor_win32.h"

namespace {

std::string CopyName(const std::string& folder, int index) {
  char name[40];
  snprintf(name, sizeof name, "\\QFXComponent%05d.dll", index);
  return folder + name;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(file);
  return ok;
}

bool WriteVersionList(const std::string& folder, int count) {
  std::string resources = folder + "\\Resources";
  CreateDirectoryA(resources.c_str(), nullptr);
  std::string text;
  for (int i = 0; i < count; ++i) {
    char section[160];
    snprintf(section, sizeof section, "[Fragment%d]\r\nFragmentFileName = QFXFragment%05d.dll\r\nFragmentVersion_Win = %d\r\n",
             i, count - i, 50331931 + i);
    text += section;
  }
  return WriteTextFile(resources + "\\UpdateVersionList_v2.txt", text);
}

// When the components window shows, its lists are filled: the time is taken
// and the window asked to close.
double shownAt = 0;
HWND shownWindow = nullptr;
int shownItems = 0;  // the lines of both lists

int CountItems(HWND window) {
  int items = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "ListBox") == 0) items += static_cast<int>(SendMessageA(child, LB_GETCOUNT, 0, 0));
  }
  return items;
}

LRESULT CALLBACK WatchShow(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam && !GetParent(message->hwnd) &&
      !shownWindow) {
    shownAt = Seconds();
    shownWindow = message->hwnd;
    shownItems = CountItems(message->hwnd);
    PostMessageA(message->hwnd, WM_CLOSE, 0, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}


// The whole command; its seconds to the shown window, or -1 when it did not
// list every file.
double CommandPass(const FixedPath& folder, int count) {
  shownWindow = nullptr;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchShow, nullptr, GetCurrentThreadId());
  double start = Seconds();
  InventoryComponents(folder, nullptr);
  ShowInstalledComponents(nullptr, folder);
  UnhookWindowsHookEx(hook);
  return shownWindow && shownItems == 2 * count ? shownAt - start : -1;
}

double FloorPass(const std::vector<std::string>& left, const std::vector<std::string>& right) {
  HWND dialog = CreateWindowExA(0, "#32770", "Floor", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HWND boxes[2];
  for (int i = 0; i < 2; ++i)
    boxes[i] = CreateWindowExA(0, "LISTBOX", nullptr, 0x50B10901u, i * 600, 25, i ? 400 : 600, 175, dialog, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ShowWindow(dialog, SW_SHOW);
  double start = Seconds();
  const std::vector<std::string>* lines[2] = {&left, &right};
  for (int i = 0; i < 2; ++i) {
    SendMessageA(boxes[i], WM_SETREDRAW, FALSE, 0);
    for (const std::string& line : *lines[i]) SendMessageA(boxes[i], LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(boxes[i], WM_SETREDRAW, TRUE, 0);
    InvalidateRect(boxes[i], nullptr, TRUE);
  }
  UpdateWindow(dialog);
  double elapsed = Seconds() - start;
  int items = static_cast<int>(SendMessageA(boxes[0], LB_GETCOUNT, 0, 0) + SendMessageA(boxes[1], LB_GETCOUNT, 0, 0));
  DestroyWindow(dialog);
  return items == static_cast<int>(left.size() + right.size()) ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
  BenchArguments arguments;
  if (!ReadBenchArguments("components_window_bench", argc, argv, arguments)) return 2;
  const int count = arguments.count, rounds = arguments.rounds;
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back(CopyName(arguments.folder, i));
  if (count <= 0 || rounds <= 0 || !FillFolder(arguments.library, arguments.folder, paths) ||
      !WriteVersionList(arguments.folder, count)) {
    fprintf(stderr, "components_window_bench: the folder could not be filled\n");
    return 1;
  }
  if (!ToolkitStartUp(GetModuleHandleA(nullptr)) || !OpenWindowManager()) return 1;
  FixedPath folder;
  folder.SetText(arguments.folder.c_str());

  // The fill floor's lines: what the window shows, made once and untimed.
  if (CommandPass(folder, count) < 0) return 1;
  std::vector<std::string> left, right;
  String line;
  for (int32_t i = 0; i < ComponentFiles.count; ++i) {
    ComponentLine(ComponentFiles[i], ReadProductVersion(ComponentFiles[i]), folder.Text(), line);
    left.push_back(line.TextOrEmpty());
  }
  for (int i = 0; i < count; ++i) {
    char fragment[64];
    snprintf(fragment, sizeof fragment, "QFXFragment%05d.dll (3.0.1.%d)", i + 1, 27 + count - 1 - i);
    right.push_back(fragment);
  }

  std::vector<double> command, versions, fill;
  for (int round = 0; round < rounds; ++round) {
    double own = CommandPass(folder, count);
    double start = Seconds();
    int read = ::FloorPass(paths);
    double bare = Seconds() - start;
    double plain = FloorPass(left, right);
    if (own < 0 || read != count || plain < 0) {
      fprintf(stderr, "components_window_bench: wrong result in round %d\n", round + 1);
      return 1;
    }
    command.push_back(own);
    versions.push_back(bare);
    fill.push_back(plain);
  }
  printf("files and fragments                      %d and %d, %d rounds\n", count, count, rounds);
  printf("command to both lists filled             %.0f ms\n", Median(command) * 1000);
  printf("floor: bare version reads of the files   %.0f ms\n", Median(versions) * 1000);
  printf("floor: two plain list boxes, same lines  %.0f ms\n", Median(fill) * 1000);
  printf("command / version reads                  %.2f\n", Median(command) / Median(versions));
  printf("command / list-box fill                  %.1f\n", Median(command) / Median(fill));
  CloseWindowManager();
  ToolkitShutDown();
  return 0;
}
