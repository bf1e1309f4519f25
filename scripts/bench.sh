#!/usr/bin/env bash
# Measures what docs/performance.md reports on start-up: ControlPanel.exe "-ip" and
# "-v" (a one-pair version list) on the sample installation, against a Win32
# program that does nothing and imports only kernel32 (bench/minimal_program.cpp,
# linked the same way), all under the same Wine with a warm server:
#   scripts/bench.sh [ROUNDS]      40 rounds unless told
# Each round runs the three once, in an order that turns from round to round,
# so that a busy machine slows them alike; the figures are the medians of the
# times and the median of the per-round ratios to the empty program.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/bench-common.sh
rounds=${1:-40}

scripts/run.sh -ip >/dev/null   # builds, and prepares the sample installation
cmake --build --preset "$bench_preset" --target minimal_program VersionSpaced >/dev/null

export WINEPREFIX="$root/build/sample/$bench_preset/wineprefix"
drive_c="$WINEPREFIX/drive_c"
# A versioned library in the sample's "Components" and a list that names it.
cp build/$bench_preset/fixtures/VersionSpaced.dll "$drive_c/Program Files/Quillframe/Quillframe3/Components/QFXCodec.dll"
printf '%s\r\n' '[DLL_Versions]' 'DLL = QFXCodec' 'Version = 3.0.1.27' >"$drive_c/bench-versions.txt"
cp build/$bench_preset/minimal_program.exe "$drive_c/minimal_program.exe"
cp build/$bench_preset/ControlPanel.exe "$drive_c/ControlPanel.exe"
bench_wine_start

commands=("C:\\minimal_program.exe" "C:\\ControlPanel.exe -ip" "C:\\ControlPanel.exe -v C:\\bench-versions.txt")
run_command() {
  # shellcheck disable=SC2086
  wine ${commands[$1]} </dev/null >/dev/null 2>&1 || true
}
for which in 0 1 2; do run_command $which; done   # warm-up, and a check that "-v" verifies
[ "$(wine 'C:\ControlPanel.exe' -v 'C:\bench-versions.txt' </dev/null 2>/dev/null | tr -d '\r')" = 0 ] ||
  { echo "bench.sh: -v did not verify the sample" >&2; exit 1; }

bench_rounds "$rounds" 3 run_command
printf '%-28s %8s ms\n' "empty program" "$(bench_ms_of 0)"
printf '%-28s %8s ms   ratio %s (median of %d pairs)\n' "ControlPanel.exe -ip" "$(bench_ms_of 1)" "$(bench_ratio_of 1 0)" "$rounds"
printf '%-28s %8s ms   ratio %s (median of %d pairs)\n' "ControlPanel.exe -v list" "$(bench_ms_of 2)" "$(bench_ratio_of 2 0)" "$rounds"
