#!/usr/bin/env bash
# Measures what the README reports. Start-up: ControlPanel.exe -ip on a sample
# installation against a Win32 program that does nothing, both under the same
# Wine with a warm server, over repeated runs (hyperfine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/bench-common.sh

scripts/run.sh -ip >/dev/null   # builds, and prepares the sample installation
cmake --build --preset win32 --target minimal_program >/dev/null

export WINEPREFIX="$root/build/sample/wineprefix"
bench_wine_start
wine build/win32/minimal_program.exe </dev/null >/dev/null 2>&1 || true

hyperfine --warmup 5 --runs 40 -N -i \
  "wine $root/build/win32/minimal_program.exe" \
  "wine $root/build/win32/ControlPanel.exe -ip"
