#!/usr/bin/env bash
# Builds the host, fuzz and Windows presets and runs every test: the portable core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers for the time
# tests/fuzz/targets.txt gives each, then the Windows program and its tests
# under Wine on private X displays, two tests at a time (each on a worker
# of its own, scripts/test-worker.sh): the 32-bit product where this machine
# runs 32-bit programs, then the 64-bit build too; the 64-bit build alone
# where it does not, or with PANEL_BITS=64 (scripts/bits.sh), and then the
# 32-bit product is built only by the release step. The benchmarks are
# linked in one build. Last, the release (the 32-bit product) is built twice
# and must come out the same, and a signed release of it, built again with
# its detached signatures, the same too.
#
#   scripts/test.sh           the whole run (CI runs it)
#   scripts/test.sh --quick   the loop while editing: one Windows build, its
#                             end-to-end tests, the portable tests as one
#                             program, the Windows unit tests of the rooms
#                             (src/<room>, tests/<room>; a room of the
#                             foundation is src/foundation/<room>) that the
#                             working tree changes against HEAD, and every fuzzer
#                             over its corpus once
#
# Prints one line per step and the summary of each suite; everything else
# goes to one log per step in build/logs/, which stays. A build that prints a
# warning fails its step. The last line says that every step passed, or
# which one failed and where its log is; the exit status says the same.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
quick=""
case "${1:-}" in
  "") ;;
  --quick) quick=1 ;;
  *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
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
  local preset=$1
  shift
  cmake --preset "$preset"
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" --target "$@"
  else
    cmake --build --preset "$preset"
  fi
}

# The closing line of a CTest run ("100% tests passed, 0 tests failed out of N").
ctest_summary() {
  grep -E 'tests passed, [0-9]+ tests? failed out of' "$1" | tail -n 1 | sed 's/^/   /'
}

# The include check of src/ and of the order of the include blocks (a
# block out of order: scripts/check-includes.sh --fix), then the check's own
# test on trees of its own.
check_includes() {
  scripts/check-includes.sh
  scripts/check-includes-test.sh
}

source scripts/bits.sh
forced=${PANEL_BITS:-}
panel_choose_bits 2>&1
suites=("$PANEL_BITS")
[ "$PANEL_BITS" = 32 ] && [ -z "$forced" ] && [ -z "$quick" ] && suites+=(64)

# The Windows tests of one build under Wine, on one private X display for
# each worker of tests/test-workers.json; any further arguments go to ctest.
# (Run in a subshell of its own by run_step: its variables are the trap's.)
windows_tests() {
  bits=$1 build="$root/build/win$1"
  shift
  export PANEL_BITS=$bits
  workers=$(grep -c '"id"' tests/test-workers.json)
  source scripts/wine-env.sh
  source scripts/xvfb.sh
  source scripts/test-worker.sh
  # A Wine server still running (test discovery, an earlier run) keeps the
  # display it started with: each worker's starts anew, on its display.
  stop_servers() {
    for id in $(seq 0 $((workers - 1))); do WINEPREFIX=$(test_worker_prefix "$build" "$id") wine_server_stop; done
  }
  stop_servers
  xvfb_start_workers "$workers"
  trap 'stop_servers; xvfb_stop' EXIT
  rm -f "$build/wine-run-restarts.log"
  ctest --preset "win$bits" "$@"
}

# Programs that wine-run had to start a second time (cmake/wine-run.in).
restarts_of() {
  local restarts="build/win$1/wine-run-restarts.log"
  [ -s "$restarts" ] || return 0
  echo "   wine-run started $(wc -l <"$restarts") program(s) a second time after an exit without output:"
  sed 's/^/   | /' "$restarts"
}

if [ -n "$quick" ]; then
  run_step includes "includes: the rooms and the file-name rule of src/, the order of the include blocks, and the check's own test" check_includes
  run_step fuzz "fuzz: every fuzzer over its corpus" scripts/fuzz.sh --replay
  awk '/^== fuzz: / { name = $3 } /^Done [0-9]+ runs in / { print "   " name ": " $0 }' "$logs/fuzz.log"
  bits=$PANEL_BITS
  build_step "win$bits" test_programs
  # The unit tests of each changed area, by the names of their suites.
  since=${PANEL_QUICK_SINCE:-HEAD}
  areas=$({ git diff --name-only "$since"; git ls-files --others --exclude-standard; } |
          sed -nE -e 's#^(src|tests)/(foundation/[^/]+)/.*#\2#p;t' -e 's#^(src|tests)/([^/]+)/.*#\2#p' |
          sort -u | while read -r area; do if [ -d "src/$area" ]; then echo "$area"; fi; done)
  suites_of_areas=$(for area in $areas; do
                      grep -ohE '^TEST(_F|_P)?\([A-Za-z0-9_]+' "tests/$area"/*_win32_test.cpp 2>/dev/null |
                        sed 's/.*(//'
                    done | sort -u)
  echo "   changed areas (against $since): $(echo ${areas:-none})"
  # Every end-to-end test, the portable tests, and those unit tests, by
  # their numbers (ctest -I; the fixtures they need come with them).
  numbered=$(cd "build/win$bits" && ctest -N | sed -nE 's/^ *Test +#([0-9]+): ([^ ]+).*$/\1 \2/p')
  e2e=$(cd "build/win$bits" && ctest -N -L e2e | sed -nE 's/^ *Test +#([0-9]+): .*$/\1/p')
  chosen=$(echo "$numbered" | awk -v suites="$(echo $suites_of_areas)" '
             BEGIN { n = split(suites, list, " "); for (i = 1; i <= n; i++) wanted[list[i]] = 1 }
             { name = $2; sub(/^[^\/]*\//, "", name); sub(/\..*$/, "", name) }
             $2 == "core_tests" || name in wanted { print $1 }')
  numbers=$(printf '%s\n' $chosen $e2e | sort -un | paste -sd ,)
  run_step "win$bits-tests" "win$bits: the end-to-end tests and those of the changed areas under $bits-bit Wine" \
    windows_tests "$bits" --no-tests=error -I "0,0,0,$numbers"
  ctest_summary "$logs/win$bits-tests.log"
  restarts_of "$bits"
  elapsed=$((SECONDS - started))
  echo "test.sh: every step of the quick run passed ($((elapsed / 60)) min $((elapsed % 60)) s; logs in $logs/)"
  exit 0
fi

run_step setup "set-up: the packages of the build and the tests" scripts/setup.sh
run_step includes "includes: the rooms and the file-name rule of src/, the order of the include blocks, and the check's own test" check_includes

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

# Where the 32-bit build does not run, it is not built here: the release
# step builds the 32-bit product (the program and its console companion,
# warnings failing the build) twice, and its tests and benchmarks are
# compiled and run on every machine that runs them.

for bits in "${suites[@]}"; do
  # The benchmarks are linked in the first build only, compiled in the other.
  if [ "$bits" = "${suites[0]}" ]; then
    build_step "win$bits"
  else
    build_step "win$bits" test_programs benchmarks_compiled
  fi
  run_step "win$bits-tests" "win$bits: ControlPanel.exe and its tests under $bits-bit Wine" windows_tests "$bits"
  ctest_summary "$logs/win$bits-tests.log"
  restarts_of "$bits"
done

run_step release "release: two builds give the same bytes, and signed it is made again from a build and its signatures" \
  scripts/reproducible-build-test.sh
tail -n 2 "$logs/release.log" | sed 's/^/   /'

elapsed=$((SECONDS - started))
echo "test.sh: every step passed ($((elapsed / 60)) min $((elapsed % 60)) s; logs in $logs/)"
