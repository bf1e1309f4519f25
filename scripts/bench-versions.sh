#!/usr/bin/env bash
# Measures what the README's "Performance" section reports for product
# versions: ListFiles and ReadProductVersion over a component folder of 5,000
# versioned libraries, against the same number of bare
# GetFileVersionInfoSizeA / GetFileVersionInfoA / VerQueryValueA calls, under
# Wine (preset "win32"). Arguments: [count] [rounds] (default 5000 11).
# BUILD_DIR selects another build folder of the win32 preset.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/setup.sh
build=${BUILD_DIR:-build/win32}
cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" --target version_bench VersionSpaced -j2 >/dev/null

export WINEPREFIX="$root/$build/wineprefix"
source scripts/wine-env.sh
wine_prefix_ensure
wineserver -p </dev/null >/dev/null 2>&1 || true
trap wine_server_stop EXIT
# The component folder lies in the prefix's drive C:, filled once and reused.
wine "$build/version_bench.exe" "$(winepath -w "$root/$build/fixtures/VersionSpaced.dll" 2>/dev/null)" \
  'C:\bench-versions' "${1:-5000}" "${2:-11}" </dev/null
