#pragma once
// The main control-panel window: its controls, its commands and the window
// mode that runs it.

#include <windows.h>

#include <cstdint>

#include "toolkit/dialogs.h"
#include "toolkit/events_win32.h"
#include "toolkit/grow_array.h"

// The main control-panel window: its title and its seven controls, one
// column top to bottom, in the client pixels of a 250 x 249 client area.

// The title is this text followed by the program's product version
// ("Corvalent Control Panel 3.0.6.0"), or this text alone without one.
constexpr const char* MainWindowTitlePrefix = "Corvalent Control Panel ";
constexpr int32_t MainWindowClientWidth = 250;
constexpr int32_t MainWindowClientHeight = 249;
// The frame the window is created with, before its client area is set.
constexpr int32_t MainWindowCreateWidth = 250;
constexpr int32_t MainWindowCreateHeight = 250;

// The command ids the controls report.
enum : int32_t {
  InstallPathCommandId = 0,
  UninstallCommandId = 2,
  OkCommandId = 4,
  CacheCommandId = 8,
  ListComponentsCommandId = 9,
  CheckForUpdatesCommandId = 11,
  PublicBetaCommandId = 13,
};

struct MainWindowControl {
  int32_t id;
  bool checkBox;  // else a push button
  const char* caption;
  Rect rect;
};

constexpr MainWindowControl MainWindowControls[] = {
    {UninstallCommandId, false, "Uninstall Corvalent Media Player", {2, 5, 248, 45}},
    {ListComponentsCommandId, false, "List Installed QLX Components...", {2, 75, 248, 99}},
    {InstallPathCommandId, false, "Display QLX Install Path...", {2, 100, 248, 124}},
    {CacheCommandId, false, "Delete QLX Resource Cache", {2, 125, 248, 149}},
    {CheckForUpdatesCommandId, true, "Check for Updates", {8, 175, 248, 200}},
    {PublicBetaCommandId, true, "Participate QLX Public Beta", {8, 200, 248, 216}},
    {OkCommandId, false, "Ok", {2, 224, 248, 249}},
};

// Window mode.

// Builds the main window, runs the message loop until no window is left, and
// releases everything. Failures of the window manager or of the window end
// window mode silently.
void RunControlPanel();

// The main window's callback: shows it when it opens, refreshes its options
// whenever it is activated, saves them and destroys its controls when it
// closes, and runs the command of each control.
uint8_t MainWindowHandler(HWND window, EventKind kind, EventRecord* record);

// The main window's commands that belong to no other operation's unit: the
// component listing, the update-check box and the public-beta box. Each
// shows its boxes with owner as their owner.

// The boxes of the public-beta command when the registry value could not be
// stored or removed.
constexpr const char* RegistryErrorCaption = "Registry Error";
constexpr const char* BetaValueNotAddedText = "Unable to add reg key for Downloading";
constexpr const char* BetaValueNotRemovedText = "Unable to remove reg key for Downloading";

// Shows the installed-components window over owner; "not registered"
// without a component folder.
void RunListComponentsCommand(HWND owner);

// Stores the new state of the "Check for Updates" box of controls; without a
// component folder says "not registered" and clears the box again, when it
// is still there once the box is closed.
void RunCheckForUpdatesCommand(HWND owner, const GrowArray& controls);

// Joins the public beta when the "Participate QLX Public Beta" box of
// controls is checked (the beta site in the registry, the built-in beta site
// in the download-site list), and leaves it when it is not.
void RunPublicBetaCommand(HWND owner, const GrowArray& controls);
