#include "support/panel_window_win32.h"

#include "support/message_box_parts_win32.h"
#include "support/process_win32.h"
#include "support/test_desktop_win32.h"

namespace {

std::string TextOf(HWND window) {
  if (!window) return std::string();
  wchar_t text[4096];
  int length = GetWindowTextW(window, text, 4096);
  char narrow[8192];
  int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, narrow, sizeof narrow, nullptr, nullptr);
  return std::string(narrow, bytes > 0 ? bytes : 0);
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct Search {
  DWORD processId;
  std::string title;   // empty: any message box
  bool messageBoxes;
  std::vector<HWND> found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  if (search->messageBoxes) {
    if (ClassOf(window) == "#32770" && GetDlgItem(window, MessageTextId)) search->found.push_back(window);
  } else if (TextOf(window) == search->title) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

bool WaitUntilDestroyed(HWND window) {
  return WaitUntil([window] { return !IsWindow(window); }, 20000);
}

namespace {

std::vector<HWND> FindWindows(DWORD processId, const std::string& title, bool messageBoxes) {
  Search search{processId, title, messageBoxes, {}};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

PanelWindowSession::PanelWindowSession(const std::string& program, const std::string& arguments,
                                       const std::string& workingFolder, bool withoutStandardHandles) {
  if (!EnterTestDesktop()) return;
  std::string path = program.empty() ? ControlPanelProgram() : program;
  std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  char desktop[sizeof TestDesktopName];
  lstrcpyA(desktop, TestDesktopName);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop;
  if (withoutStandardHandles) startup.dwFlags = STARTF_USESTDHANDLES;  // and every handle none
  PROCESS_INFORMATION process = {};
  const std::string& current = CurrentFolderFor(workingFolder, currentFolder_);
  if (!CreateProcessA(path.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, current.c_str(),
                      &startup, &process))
    return;
  CloseHandle(process.hThread);
  process_ = process.hProcess;
  processId_ = process.dwProcessId;
}

PanelWindowSession::~PanelWindowSession() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    // Boxes first: their owner is disabled while they are open.
    for (HWND box : FindWindows(processId_, std::string(), true)) {
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      PostMessageA(box, WM_CLOSE, 0, 0);
    }
    for (HWND window : FindWindows(processId_, "Installed Components", false)) RequestClose(window);
    if (HWND main = WaitForMainWindow(0)) RequestClose(main);
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
}

HWND PanelWindowSession::WaitForWindow(const std::string& title, DWORD timeoutMs) const {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        std::vector<HWND> found = FindWindows(processId_, title, false);
        window = found.empty() ? nullptr : found.front();
        return window != nullptr;
      },
      timeoutMs);
  return window;
}

HWND PanelWindowSession::WaitForMainWindow(DWORD timeoutMs) const {
  return WaitForWindow("Corvalent Control Panel 3.0.6.0", timeoutMs);
}

bool PanelWindowSession::WaitForWindowGone(const std::string& title, DWORD timeoutMs) const {
  return WaitUntil([&] { return FindWindows(processId_, title, false).empty(); }, timeoutMs);
}

PanelWindowSession::Box PanelWindowSession::WaitForBox(DWORD timeoutMs) {
  Box box;
  WaitUntil(
      [&] {
        for (HWND window : FindWindows(processId_, std::string(), true)) {
          bool known = false;
          for (HWND seen : boxesSeen_) known = known || seen == window;
          if (known) continue;
          boxesSeen_.push_back(window);
          box.window = window;
          box.seen.owner = reinterpret_cast<uintptr_t>(GetWindow(window, GW_OWNER));
          box.seen.caption = TextOf(window);
          box.seen.text = TextOf(GetDlgItem(window, MessageTextId));
          box.seen.buttons = BoxButtonNames(window);
          return true;
        }
        return false;
      },
      timeoutMs);
  return box;
}

bool PanelWindowSession::AnyBoxOpen() const { return !FindWindows(processId_, std::string(), true).empty(); }

bool PanelWindowSession::WaitForExit(int32_t* exitCode, DWORD timeoutMs) {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  if (exitCode) *exitCode = static_cast<int32_t>(code);
  return true;
}

ControlView ReadControl(HWND dialog, int id) {
  ControlView view;
  HWND control = GetDlgItem(dialog, id);
  if (!control) return view;
  view.present = true;
  view.className = ClassOf(control);
  view.caption = TextOf(control);
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  view.rect = Rect{rect.left, rect.top, rect.right, rect.bottom};
  view.enabled = IsWindowEnabled(control) != FALSE;
  view.checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return view;
}

bool ClickControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  // BM_CLICK clicks even a disabled button, which a person cannot.
  if (!control || !IsWindowEnabled(control) || !IsWindowEnabled(dialog)) return false;
  return PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
}

bool AnswerBox(HWND box, int buttonId) {
  HWND button = GetDlgItem(box, buttonId);
  if (!button || !PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
    return false;
  return WaitUntilDestroyed(box);
}

namespace {

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT key = {};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = virtualKey;
  key.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  key.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return key;
}

}  // namespace

bool PressKey(HWND window, WORD virtualKey, WORD modifier) {
  // Typed keys go to the focus of the active window of the foreground
  // thread: wait until the window's own thread has made it active, or the
  // keys could arrive before it and be lost.
  SetForegroundWindow(window);
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!WaitUntil(
          [&] { return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) && info.hwndActive == window; },
          5000))
    return false;
  std::vector<INPUT> keys;
  if (modifier) keys.push_back(KeyInput(modifier, false));
  keys.push_back(KeyInput(virtualKey, false));
  keys.push_back(KeyInput(virtualKey, true));
  if (modifier) keys.push_back(KeyInput(modifier, true));
  const UINT count = static_cast<UINT>(keys.size());
  return SendInput(count, keys.data(), sizeof(INPUT)) == count;
}

bool PostKey(HWND target, WORD virtualKey) {
  const UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  const LPARAM down = static_cast<LPARAM>(1u | (scanCode << 16));
  const LPARAM up = static_cast<LPARAM>(down | (1u << 30) | (1u << 31));
  return PostMessageA(target, WM_KEYDOWN, virtualKey, down) && PostMessageA(target, WM_KEYUP, virtualKey, up);
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool WaitForFocus(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && WaitUntil([&] { return FocusedControl(dialog) == control; }, 5000);
}

namespace {

// The lines of listBox as UTF-16 (what a list box of another program gives),
// converted to codePage.
std::vector<std::string> ListBoxLinesIn(HWND listBox, UINT codePage) {
  std::vector<std::string> lines;
  LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
    if (length < 0) break;
    // Across programs the text comes back as UTF-16.
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    LRESULT got = SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    std::string narrow(static_cast<size_t>(got > 0 ? got : 0) * 4 + 1, '\0');
    int bytes = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(got > 0 ? got : 0), &narrow[0],
                                    static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(bytes > 0 ? bytes : 0);
    lines.push_back(narrow);
  }
  return lines;
}

}  // namespace

std::vector<std::string> ListBoxLines(HWND listBox) { return ListBoxLinesIn(listBox, CP_ACP); }

std::vector<std::string> ListBoxLinesUtf8(HWND listBox) { return ListBoxLinesIn(listBox, CP_UTF8); }

Rect ClientRect(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

bool RequestClose(HWND window) { return PostMessageA(window, WM_CLOSE, 0, 0) != FALSE; }
