# Sourced by the benchmark scripts, from the project root (in $root).
# The build measured is the one this machine runs (scripts/bits.sh):
# bench_preset is win32 or win64.
source scripts/bits.sh
panel_choose_bits
bench_preset=win$PANEL_BITS
source scripts/wine-env.sh

# Boots the prefix WINEPREFIX if need be and keeps its server up until the
# script ends, so that no measured run pays for starting it.
bench_wine_start() {
  wine_prefix_ensure
  wineserver -p </dev/null >/dev/null 2>&1 || true
  trap wine_server_stop EXIT
}

# For the benchmarks over copies of the fixture library VersionSpaced.dll:
# builds it and the benchmark program $1 in the build folder BUILD_DIR
# (build/win32 or build/win64 unless set), starts Wine in that build's prefix, and sets
# bench_program and bench_library (the library's Windows path) for the run.
bench_versions_prepare() {
  scripts/setup.sh
  local build=${BUILD_DIR:-build/$bench_preset}
  cmake --preset "$bench_preset" -B "$build" >/dev/null
  cmake --build "$build" --target "$1" VersionSpaced -j2 >/dev/null

  export WINEPREFIX="$root/$build/wineprefix"
  bench_wine_start
  bench_program="$build/$1.exe"
  bench_library=$(winepath -w "$root/$build/fixtures/VersionSpaced.dll" 2>/dev/null)
}

# Paired rounds: runs the measures 0 to COUNT-1, each by calling FUNCTION
# with its number, ROUNDS times, in an order that turns from round to round
# so that a busy machine slows them alike. Each run adds a line "round
# measure microseconds" to the file bench_times (made here, removed when the
# script ends).
#   bench_rounds ROUNDS COUNT FUNCTION
bench_rounds() {
  local rounds=$1 count=$2 run=$3 round k which start
  bench_times=$(mktemp)
  trap 'rm -f "$bench_times"; wine_server_stop' EXIT
  for ((round = 0; round < rounds; ++round)); do
    for ((k = 0; k < count; ++k)); do
      which=$(((round + k) % count))
      start=$(date +%s%N)
      "$run" "$which"
      echo "$round $which $((($(date +%s%N) - start) / 1000))" >>"$bench_times"
    done
  done
}

bench_median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The median time of measure $1, in milliseconds.
bench_ms_of() { awk -v w="$1" '$2 == w { print $3 / 1000 }' "$bench_times" | bench_median; }
# The median of the per-round ratios of measure $1 to measure $2.
bench_ratio_of() {
  awk -v a="$1" -v b="$2" '{ t[$1, $2] = $3; seen[$1] = 1 } END { for (r in seen) print t[r, a] / t[r, b] }' \
    "$bench_times" | bench_median
}
