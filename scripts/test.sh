#!/usr/bin/env bash
# Builds every preset and runs every test: the portable core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers for the time
# tests/fuzz/targets.txt gives each, then the Windows program and its tests
# under Wine on a private X display: the 32-bit product where this machine
# runs 32-bit programs, then the 64-bit build too; the 64-bit build alone
# where it does not, or with PANEL_BITS=64 (scripts/bits.sh). Exits non-zero
# on any failure, saying which step failed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
step="set-up"
trap 'echo "test.sh: failed (exit status $?) in step: $step" >&2' ERR

source scripts/bits.sh
forced=${PANEL_BITS:-}
panel_choose_bits
suites=("$PANEL_BITS")
[ "$PANEL_BITS" = 32 ] && [ -z "$forced" ] && suites+=(64)
scripts/setup.sh

step="includes: the layers and the file-name rule of src/"
echo "== $step"
scripts/check-includes.sh

step="host: portable core with sanitizers"
echo "== $step"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

step="fuzz: every fuzzer of tests/fuzz/targets.txt"
echo "== $step"
scripts/fuzz.sh

# The 32-bit product builds on every machine, whether or not it runs here.
if [ "$PANEL_BITS" = 64 ]; then
  step="win32: building ControlPanel.exe (it does not run here)"
  echo "== $step"
  cmake --preset win32 >/dev/null
  cmake --build --preset win32
fi

source scripts/xvfb.sh
for bits in "${suites[@]}"; do
  preset=win$bits
  step="$preset: ControlPanel.exe and its tests under $bits-bit Wine"
  echo "== $step"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  (
    export PANEL_BITS=$bits WINEPREFIX="$root/build/$preset/wineprefix"
    source scripts/wine-env.sh
    xvfb_start
    trap 'wine_server_stop; xvfb_stop' EXIT
    ctest --preset "$preset"
  )
done
