#!/usr/bin/env bash
# Measures what docs/performance.md reports for product
# versions: ListFiles and ReadProductVersion over a component folder of 5,000
# versioned libraries, against the same number of bare
# GetFileVersionInfoSizeA / GetFileVersionInfoA / VerQueryValueA calls, under
# Wine (preset "win32", or "win64" where 32-bit programs do not
# run). Arguments: [count] [rounds] (default 5000 11).
# BUILD_DIR selects another build folder of that preset.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/bench-common.sh

bench_versions_prepare version_bench
# The component folder lies in the prefix's drive C:, filled once and reused.
wine "$bench_program" "$bench_library" 'C:\bench-versions' "${1:-5000}" "${2:-11}" </dev/null
