#pragma once
// The desktop that window tests run on: a Wine virtual desktop of its own
// ("ToolkitTests", 1600 x 1200: room for both windows at 144 DPI). On a bare
// X server without a window manager no window would ever be activated or get
// the keyboard focus. In the test runs' prefixes every program starts on it
// (scripts/test-worker.sh), so that boxes come at once there too.

// The desktop's name, for programs started on it (STARTUPINFO lpDesktop).
constexpr char TestDesktopName[] = "ToolkitTests";
constexpr int TestDesktopWidth = 1600;
constexpr int TestDesktopHeight = 1200;

// Switches the calling thread to the test desktop before it owns any window;
// later calls only report whether the first one succeeded.
bool EnterTestDesktop();
