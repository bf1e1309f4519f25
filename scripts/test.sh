#!/usr/bin/env bash
# Builds both presets and runs every test: the portable core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers for the time
# tests/fuzz/targets.txt gives each, then the Windows program and its tests
# under Wine on a private X display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/setup.sh

echo "== host: portable core with sanitizers"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

echo "== fuzz: every fuzzer of tests/fuzz/targets.txt"
scripts/fuzz.sh

echo "== win32: ControlPanel.exe and its tests under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32

export WINEPREFIX="$root/build/win32/wineprefix"
source scripts/wine-env.sh
source scripts/xvfb.sh
xvfb_start
trap 'wine_server_stop; xvfb_stop' EXIT
ctest --preset win32
