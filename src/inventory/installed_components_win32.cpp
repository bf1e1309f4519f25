#include "inventory/installed_components.h"
#include "foundation/profile/profile_file.h"
#include "inventory/installed_components_win32.h"

#include <cstring>
#include <string>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/files/product_version.h"
#include "foundation/profile/profile_document.h"
#include "installation/installation.h"
#include "inventory/component_inventory.h"
#include "toolkit/controls_win32.h"
#include "toolkit/dialog_procedure_win32.h"
#include "toolkit/dialogs_win32.h"
#include "toolkit/window_manager_win32.h"

namespace {

constexpr int32_t ClientWidth = 1000;
constexpr int32_t ClientHeight = 200;
constexpr Rect ComponentsHeadingRect{0, 0, 600, 24};
constexpr Rect VersionFileHeadingRect{600, 0, 1000, 24};
constexpr Rect ComponentsListRect{0, 25, 600, 200};
constexpr Rect FragmentsListRect{600, 25, 1000, 200};
// The left list scrolls sideways over this many widths of "X".
constexpr int32_t ComponentsExtentChars = 260;
constexpr int32_t TickInterval = 10;
// Room reserved per line when a list is filled.
constexpr uint32_t TypicalLineBytes = 64;

// Only a path with a "~" can hold a short (8.3) form of a name; any other
// is its own true name, and the system need not be asked.
bool MayHoldShortForm(const char* path) { return strchr(path, '~') != nullptr; }

// The row of a file reached through a short form, by its true name (the
// system's long form of each such part): "\Ωmega.dll", not "\_MEG~DAU.DLL".
// version was read through the form the program has.
bool AddTrueNameLine(ListBox* list, const FixedPath& file, uint32_t version, const std::string& trueFolder) {
  const std::string trueFile = TruePathUtf8(file.Text());
  String line;
  return ComponentLine(trueFile.c_str(), version, trueFolder.c_str(), line) &&
         list->AddItemWide(WideOfUtf8(line.Text()).c_str());
}

void FillComponents(ListBox* list, const FixedPath& componentFolder) {
  if (!list) return;
  if (ComponentFiles.count == 0) {
    list->AddItem(NoComponentsLine);
  } else {
    list->BeginFill(ComponentFiles.count, static_cast<uint32_t>(ComponentFiles.count) * TypicalLineBytes);
    const std::string trueFolder =
        MayHoldShortForm(componentFolder.Text()) ? TruePathUtf8(componentFolder.Text()) : std::string();
    String line;
    for (int32_t i = 0; i < ComponentFiles.count; ++i) {
      const FixedPath& file = ComponentFiles[i];
      const uint32_t version = ReadProductVersion(file);
      // Names the code page holds keep their row byte for byte.
      if (MayHoldShortForm(file.Text()) &&
          AddTrueNameLine(list, file, version, trueFolder.empty() ? Utf8OfAnsi(componentFolder.Text()) : trueFolder))
        continue;
      if (ComponentLine(file, version, componentFolder.Text(), line)) list->AddItem(line.Text());
    }
    list->EndFill();
  }
  list->SetHorizontalExtentChars(ComponentsExtentChars);
}

// utf8: the list was read from a file that begins with the UTF-8 byte-order
// mark; its texts are then shown as the characters they are.
void FillFragments(ListBox* list, bool listFound, const TypedArray<Fragment>& fragments, bool utf8) {
  if (!list) return;
  if (!listFound) {
    list->AddItem(NoVersionListLine);
    return;
  }
  list->BeginFill(fragments.count, static_cast<uint32_t>(fragments.count) * TypicalLineBytes);
  String line;
  for (int32_t i = 0; i < fragments.count; ++i) {
    if (!FragmentLine(fragments[i], line)) continue;
    list->AddItem(utf8 ? DisplayAnsiOfUtf8(line.Text()).c_str() : line.Text());
  }
  list->EndFill();
}

// Enter and Escape: the dialog manager's commands for the ids of a dialog's
// confirming and cancel buttons, which this window does not have, with the
// notification code of a click (a list's own notifications are never 0).
bool IsDialogKeyCommand(const ToolkitEvent& event) {
  return (event.commandId == IDOK || event.commandId == IDCANCEL) && event.notificationCode == BN_CLICKED;
}

uint8_t InstalledComponentsHandler(HWND window, EventKind kind, EventRecord* record) {
  WindowManager* manager = CurrentWindowManager();
  auto* controls = static_cast<GrowArray*>(WindowUserData(manager, window));
  switch (kind) {
    case EventOpened:
      ShowToolkitWindow(window);
      UpdateToolkitWindow(window);
      break;
    case EventDpiChanged:
      if (controls) FollowDpiChange(window, *controls, record->event.x, record->event.area);
      return AnswerHandled;
    case EventCommand:
      // Enter and Escape close it, as a close request does.
      if (IsDialogKeyCommand(record->event)) {
        UnregisterWindow(manager, window);
        return AnswerHandled;
      }
      break;
    case EventClosing:
      if (controls) DestroyControls(*controls);
      // The owner it was registered over.
      if (WindowEntry* entry = FindWindowEntry(manager, window)) EnableToolkitWindow(entry->parent);
      CloseToolkitWindow(manager, window);
      break;
    default:
      break;
  }
  return AnswerNotHandled;
}

}  // namespace

bool ReadUpdateVersionList(const FixedPath& componentFolder, ProfileDocument& document, FixedPath* file,
                           Status* read) {
  FixedPath folder = componentFolder;
  if (folder.AppendName(ResourceCacheFolderName) != StatusOk || !folder.IsFolder()) return false;
  for (const char* name : UpdateVersionListNames) {
    FixedPath candidate = folder;
    if (candidate.AppendName(name) != StatusOk || !candidate.Exists()) continue;
    const Status status = ReadProfile(document, candidate);
    if (file) *file = candidate;
    if (read) *read = status;
    return true;
  }
  return false;
}

int32_t ShowInstalledComponents(HWND owner, const FixedPath& componentFolder) {
  DisableToolkitWindow(owner);

  ProfileDocument document;
  TypedArray<Fragment> fragments;
  // Whatever could be parsed is listed.
  bool listFound = ReadUpdateVersionList(componentFolder, document);
  if (listFound) CollectFragments(document, fragments);
  SortComponentFiles(ComponentFiles);

  WindowManager* manager = CurrentWindowManager();
  HWND window = manager ? CreateToolkitDialog(nullptr, 0, 0, ClientWidth, ClientHeight, DialogKindSystemMenu)
                        : nullptr;
  if (!window) {
    EnableToolkitWindow(owner);
    return 0;
  }
  CenterWindow(window, owner);

  GrowArray controls;
  InitGrowArray(controls, ControlListElementSize, 0, 0, 0, true);
  const int32_t id = InstalledComponentsControlId;
  AppendControl(controls, new StaticText(window, id, ComponentsHeadingRect, InstalledComponentsHeading, 0));
  AppendControl(controls, new StaticText(window, id, VersionFileHeadingRect, VersionFileHeading, 0));
  // Wide lines: every file by its true name.
  auto* components = new ListBox(window, id, ComponentsListRect, 1, 0, true);
  AppendControl(controls, components);
  auto* fragmentList = new ListBox(window, id, FragmentsListRect, 1, 0);
  AppendControl(controls, fragmentList);
  FillComponents(components, componentFolder);
  FillFragments(fragmentList, listFound, fragments, document.utf8ByteOrderMark);

  if (RegisterWindow(manager, window, owner, InstalledComponentsHandler, &controls, TickInterval, true, false)) {
    SetWindowTextFrom(window, InstalledComponentsTitle);
    // Tab moves between the two lists; the arrow and page keys scroll the one
    // with the focus.
    FocusControl(window, components);
    RunUntilClosed(manager, window);
  } else {
    DestroyControls(controls);
    CloseToolkitWindow(manager, window);
    EnableToolkitWindow(owner);
  }
  ReleaseGrowArray(controls);
  return 0;
}
