#pragma once
// The main control-panel window: its title and its seven controls, one
// column top to bottom, in the client pixels of a 250 x 249 client area.

#include <cstdint>

#include "toolkit/geometry.h"

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
