#!/usr/bin/env bash
# Builds ControlPanel.exe and its console companion ControlPanel.com and runs
# them under Wine on a sample player installation in a private Wine prefix
# (build/sample/<preset>/wineprefix).
#
#   scripts/run.sh              window mode: the main window on your display;
#                               without one, on a private X server, where the
#                               main window and the installed-components
#                               window are photographed (their paths are
#                               printed) and the program is closed again
#   scripts/run.sh OPTION ...   option mode, typed as an administrator types
#                               it ("ControlPanel OPTION ...", which finds the
#                               companion): prints what the program writes on
#                               standard output and standard error, in the
#                               order written, and its exit code
#
# The 32-bit product where this machine runs 32-bit programs, else the
# 64-bit build under 64-bit Wine (scripts/bits.sh; PANEL_BITS=64 forces it).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
step="set-up"
trap 'echo "run.sh: failed (exit status $?) in step: $step" >&2' ERR

source scripts/bits.sh
panel_choose_bits
scripts/setup.sh
preset=win$PANEL_BITS
build="build/$preset"
step="building ControlPanel.exe and ControlPanel.com ($preset)"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target ControlPanel ControlPanelConsole test_fixtures >/dev/null

step="preparing the sample installation"
# One prefix a build: a 64-bit prefix cannot become a 32-bit one.
export WINEPREFIX="$root/build/sample/$preset/wineprefix"
source scripts/wine-env.sh
source scripts/sample-installation.sh
source scripts/xvfb.sh
wine_prefix_ensure
trap 'wine_server_stop; xvfb_stop' EXIT

sample_installation_make "$root/$build/fixtures"
drive_c="$WINEPREFIX/drive_c"
# The program keeps "ControlPanelv306.ini" beside itself; the companion
# starts the program beside itself.
cp "$build/ControlPanel.exe" "$build/ControlPanel.com" "$drive_c/"
step="running ControlPanel.exe"

if [ $# -gt 0 ]; then
  echo "ControlPanel $*"
  # "C:\ControlPanel" is the companion (cmd finds ".com" before ".exe"),
  # which waits for the program and passes on its output and exit code.
  # cmd reads the exit code on the Windows side: all 32 bits, sign included.
  # (The script itself succeeds whatever the code: a Unix exit status would
  # keep only its low 8 bits.)
  # Run in the prefix's C:\, so that a file named by a relative path
  # ("/log cp.log") lands there and never in the checkout. Standard error
  # shares the pipe of standard output, so that a refusal or a box's line
  # shows where it was written; Wine's own messages are off (WINEDEBUG).
  (cd "$drive_c" && wine cmd /c 'C:\ControlPanel' "$@" '&' echo. '&' echo exit code %ERRORLEVEL% \
    </dev/null 2>&1) | tr -d '\r' || true
  exit 0
fi

if [ -n "${DISPLAY:-}" ] && xwininfo -root >/dev/null 2>&1; then
  echo "ControlPanel.exe: the window is on your display ($DISPLAY); close it with Ok"
  (cd "$drive_c" && wine 'C:\ControlPanel.exe' </dev/null 2>/dev/null) || true
  exit 0
fi

echo "ControlPanel.exe: no display; the windows are photographed on a private X server"
# The server the prefix's services started with must not outlive its display.
wine_server_stop
xvfb_start
mkdir -p build/sample/screenshots
cp "$build/fixtures/window_shots.exe" "$drive_c/window_shots.exe"
mkdir -p "$drive_c/fixtures" && cp "$build/fixtures/window_shots.exe" "$drive_c/fixtures/"
scripts/screenshots.sh "$drive_c/ControlPanel.exe" build/sample/screenshots
