#!/usr/bin/env bash
# Measures what docs/performance.md reports for profile
# documents, on a generated profile of 100,000 entries in 1,000 sections:
#   1. host, optimised without sanitizers (preset "bench"): parse, lookups of
#      every key, write, peak memory, and the same parse through inih;
#   2. under Wine (preset "win32", or "win64" where 32-bit programs do not
#      run): ReadProfile, lookups through the document
#      and through the profile API (GetPrivateProfileStringA).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/bench-common.sh

scripts/setup.sh

cmake --preset bench >/dev/null
cmake --build --preset bench --target profile_bench >/dev/null
file="$root/build/bench/profile-100k.ini"
echo "== host (g++ -O3, no sanitizers)"
build/bench/profile_bench "$file"

cmake --preset "$bench_preset" >/dev/null
cmake --build --preset "$bench_preset" --target profile_api_bench >/dev/null
export WINEPREFIX="$root/build/$bench_preset/wineprefix"
bench_wine_start
echo "== Wine (MinGW-w64 $bench_preset, -O3)"
wine build/$bench_preset/profile_api_bench.exe "$(winepath -w "$file" 2>/dev/null)" 10 </dev/null 2>/dev/null
