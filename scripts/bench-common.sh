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
