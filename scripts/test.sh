#!/usr/bin/env bash
# Builds every preset and runs every test: the portable core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers for the time
# tests/fuzz/targets.txt gives each, then the Windows program and its tests
# under Wine on a private X display: the 32-bit product where this machine
# runs 32-bit programs, then the 64-bit build too; the 64-bit build alone
# where it does not, or with PANEL_BITS=64 (scripts/bits.sh). Last, the
# release is built twice and must come out the same.
#
# Prints one line per step and the summary of each suite; everything else
# goes to one log per step in build/logs/, which stays. A build that prints a
# warning fails its step. The last line says that every step passed, or
# which one failed and where its log is; the exit status says the same.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
logs=build/logs
mkdir -p "$logs"
started=$SECONDS

# Says that step failed, with its log's name and last lines, and ends.
fail() {
  local title=$1 log=$2 why=$3
  echo "   $why; the last lines of $log:"
  tail -n 25 "$log" | sed 's/^/   | /'
  echo "test.sh: FAILED in step \"$title\" (full log: $log)"
  exit 1
}

# A line of a build log that reports a warning, from the compiler, the
# linker or another tool. GoogleTest, built from Debian's sources, is not
# the project's.
warnings_in() {
  grep -E '(^|[^[:alpha:]])warning:' "$1" | grep -v '^/usr/src/googletest/' || true
}

# run_step LOG TITLE COMMAND...: runs COMMAND with its output in
# build/logs/LOG.log. (In the background, so that "set -e" holds inside it.)
run_step() {
  local log="$logs/$1.log" title=$2
  shift 2
  echo "== $title"
  "$@" >"$log" 2>&1 &
  wait $! || fail "$title" "$log" "failed (exit status $?)"
}

# build_step PRESET [TARGET]: configures and builds a preset; any warning in
# its log fails the step.
build_step() {
  local preset=$1 log="$logs/$1-build.log" title="$1: build"
  run_step "$preset-build" "$title" build_preset "$@"
  if [ -n "$(warnings_in "$log")" ]; then
    warnings_in "$log" | head -n 10 | sed 's/^/   | /'
    echo "test.sh: FAILED in step \"$title\": the build printed warnings (full log: $log)"
    exit 1
  fi
}
build_preset() {
  cmake --preset "$1"
  cmake --build --preset "$1" ${2:+--target "$2"}
}

# The closing line of a CTest run ("100% tests passed, 0 tests failed out of N").
ctest_summary() {
  grep -E 'tests passed, [0-9]+ tests? failed out of' "$1" | tail -n 1 | sed 's/^/   /'
}

source scripts/bits.sh
forced=${PANEL_BITS:-}
panel_choose_bits 2>&1
suites=("$PANEL_BITS")
[ "$PANEL_BITS" = 32 ] && [ -z "$forced" ] && suites+=(64)

run_step setup "set-up: the packages of the build and the tests" scripts/setup.sh
run_step includes "includes: the layers and the file-name rule of src/" scripts/check-includes.sh

build_step host
run_step host-tests "host: tests of the portable core with sanitizers" ctest --preset host
ctest_summary "$logs/host-tests.log"

run_step fuzz "fuzz: every fuzzer of tests/fuzz/targets.txt" scripts/fuzz.sh
if [ -n "$(warnings_in "$logs/fuzz.log")" ]; then
  echo "test.sh: FAILED in step \"fuzz\": the build of the fuzzers printed warnings (full log: $logs/fuzz.log)"
  exit 1
fi
# libFuzzer's closing line of each fuzzer, after the name scripts/fuzz.sh gives it.
awk '/^== fuzz: / { name = $3 } /^Done [0-9]+ runs in / { print "   " name ": " $0 }' "$logs/fuzz.log"

# The 32-bit product builds on every machine, whether or not it runs here.
[ "$PANEL_BITS" = 64 ] && build_step win32

# The Windows tests of one build under Wine, on a private X display.
windows_tests() {
  local bits=$1
  export PANEL_BITS=$bits WINEPREFIX="$root/build/win$bits/wineprefix"
  source scripts/wine-env.sh
  source scripts/xvfb.sh
  xvfb_start
  trap 'wine_server_stop; xvfb_stop' EXIT
  ctest --preset "win$bits"
}
for bits in "${suites[@]}"; do
  build_step "win$bits"
  run_step "win$bits-tests" "win$bits: ControlPanel.exe and its tests under $bits-bit Wine" windows_tests "$bits"
  ctest_summary "$logs/win$bits-tests.log"
done

run_step release "release: two builds of the release archive give the same bytes" scripts/reproducible-build-test.sh
tail -n 1 "$logs/release.log" | sed 's/^/   /'

elapsed=$((SECONDS - started))
echo "test.sh: every step passed ($((elapsed / 60)) min $((elapsed % 60)) s; logs in $logs/)"
