#!/usr/bin/env bash
# Measures what docs/performance.md reports on unattended runs, on the sample
# installation under the same warm Wine server:
#   "/status" against "-v" with a list that names every versioned component
#   (the document reads what "-v" reads and more), and
#   "-ds+ SITE" then "-ds SITE" with and without "/log FILE" (each pair adds
#   the site and takes it away again, so that every run writes the list).
#   scripts/bench-unattended.sh [ROUNDS]      40 rounds unless told
# Each round runs the four once, in an order that turns from round to round;
# the figures are the medians of the times and of the per-round ratios.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/bench-common.sh
rounds=${1:-40}

scripts/run.sh -ip >/dev/null   # builds, and prepares the sample installation
export WINEPREFIX="$root/build/sample/$bench_preset/wineprefix"
drive_c="$WINEPREFIX/drive_c"
# Every component of the sample that carries a version, with that version.
printf '%s\r\n' '[DLL_Versions]' \
  'DLL = NpQuillframe3' 'Version = 3.0.1.27' 'DLL = QFXCore' 'Version = 1.2.3.4' \
  'DLL = QFXCodec' 'Version = 3.0.1.28' 'DLL = QFXAudio' 'Version = 3.0.1.27' \
  'DLL = QFXRender' 'Version = 255.255.255.255' >"$drive_c/bench-all-components.txt"
cp build/$bench_preset/ControlPanel.exe "$drive_c/ControlPanel.exe"
rm -f "$drive_c/bench.log"
bench_wine_start

site=https://bench.example/Components/
run() {
  case $1 in
    0) wine 'C:\ControlPanel.exe' /status ;;
    1) wine 'C:\ControlPanel.exe' -v 'C:\bench-all-components.txt' ;;
    2) wine 'C:\ControlPanel.exe' -ds+ "$site" && wine 'C:\ControlPanel.exe' -ds "$site" ;;
    3) wine 'C:\ControlPanel.exe' /log 'C:\bench.log' -ds+ "$site" &&
       wine 'C:\ControlPanel.exe' /log 'C:\bench.log' -ds "$site" ;;
  esac </dev/null >/dev/null 2>&1 || true
}
for which in 0 1 2 3; do run $which; done   # warm-up
[ "$(wine 'C:\ControlPanel.exe' -v 'C:\bench-all-components.txt' </dev/null 2>/dev/null | tr -d '\r')" = 0 ] ||
  { echo "bench-unattended.sh: -v did not verify the sample" >&2; exit 1; }

bench_rounds "$rounds" 4 run
printf '%-36s %8s ms\n' "ControlPanel.exe -v (every component)" "$(bench_ms_of 1)"
printf '%-36s %8s ms   ratio %s to -v (goal: within 1.5)\n' "ControlPanel.exe /status" "$(bench_ms_of 0)" "$(bench_ratio_of 0 1)"
printf '%-36s %8s ms\n' "-ds+ then -ds" "$(bench_ms_of 2)"
printf '%-36s %8s ms   ratio %s (goal: within 1.1)\n' "the same with /log" "$(bench_ms_of 3)" "$(bench_ratio_of 3 2)"
echo "log lines written: $(grep -c '' "$drive_c/bench.log")"
