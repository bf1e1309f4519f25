#!/usr/bin/env bash
# Measures what the README reports on start-up: ControlPanel.exe "-ip" and
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
for command in "${commands[@]}"; do   # warm-up, and a check that "-v" verifies
  # shellcheck disable=SC2086
  wine $command </dev/null >/dev/null 2>&1 || true
done
[ "$(wine 'C:\ControlPanel.exe' -v 'C:\bench-versions.txt' </dev/null 2>/dev/null | tr -d '\r')" = 0 ] ||
  { echo "bench.sh: -v did not verify the sample" >&2; exit 1; }

times=$(mktemp)
trap 'rm -f "$times"; wine_server_stop' EXIT
for ((round = 0; round < rounds; ++round)); do
  for ((k = 0; k < 3; ++k)); do
    which=$(((round + k) % 3))
    start=$(date +%s%N)
    # shellcheck disable=SC2086
    wine ${commands[$which]} </dev/null >/dev/null 2>&1 || true
    echo "$round $which $((($(date +%s%N) - start) / 1000))" >>"$times"
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms_of() { awk -v w="$1" '$2 == w { print $3 / 1000 }' "$times" | median; }
ratios_of() {
  awk -v w="$1" '{ t[$1, $2] = $3 } END { for (r = 0; r < '"$rounds"'; ++r) print t[r, w] / t[r, 0] }' "$times" | median
}
printf '%-28s %8s ms\n' "empty program" "$(ms_of 0)"
printf '%-28s %8s ms   ratio %s (median of %d pairs)\n' "ControlPanel.exe -ip" "$(ms_of 1)" "$(ratios_of 1)" "$rounds"
printf '%-28s %8s ms   ratio %s (median of %d pairs)\n' "ControlPanel.exe -v list" "$(ms_of 2)" "$(ratios_of 2)" "$rounds"
