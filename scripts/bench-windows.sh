#!/usr/bin/env bash
# Measures what docs/performance.md reports for window mode,
# under Wine on a private X server (preset "win32", or "win64" where 32-bit
# programs do not run):
# - the installed-components window with [count] component libraries and as
#   many fragments (components_window_bench, [rounds] rounds);
# - the start of window mode on the sample installation against an empty
#   toolkit dialog (window_start_bench, 41 rounds).
# Arguments: [count] [rounds] (default 5000 7). BUILD_DIR selects another
# build folder of that preset.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/bench-common.sh
source scripts/sample-installation.sh
source scripts/xvfb.sh

bench_versions_prepare components_window_bench
build=${BUILD_DIR:-build/$bench_preset}
cmake --build "$build" --target ControlPanel empty_dialog window_start_bench test_fixtures -j2 >/dev/null
# The prefix's services must draw on the private display.
wine_server_stop
xvfb_start
trap 'sample_installation_remove; wine_server_stop; xvfb_stop' EXIT
wineserver -p </dev/null >/dev/null 2>&1 || true

echo "== the installed-components window"
wine "$bench_program" "$bench_library" 'C:\bench-components' "${1:-5000}" "${2:-7}" </dev/null 2>/dev/null

echo "== the start of window mode, on the sample installation"
sample_installation_make "$root/$build/fixtures"
mkdir -p "$WINEPREFIX/drive_c/bench-start"
cp "$build/ControlPanel.exe" "$build/empty_dialog.exe" "$WINEPREFIX/drive_c/bench-start/"
wine "$build/window_start_bench.exe" 'C:\bench-start\ControlPanel.exe' 'C:\bench-start\empty_dialog.exe' 41 \
  </dev/null 2>/dev/null
