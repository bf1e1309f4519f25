#!/usr/bin/env bash
# The Windows tests run two at a time (ctest -j2), each on a worker of its
# own, so that no two tests meet: a worker is a Wine prefix (its own registry,
# drive C:, named objects such as the settings lock and the installer's
# event, and its own Wine server), an X display and a folder of the build's
# programs (what a program writes beside itself, such as
# "ControlPanelv306.ini", stays with its worker). CTest hands each test a
# worker through its resource groups (tests/test-workers.json,
# CTEST_RESOURCE_GROUP_0_WORKERS="id:N,slots:1").
#
#   worker 0, or no worker (a test run by hand, test discovery):
#     the prefix <build>/wineprefix, $DISPLAY, the programs in <build>
#   worker N:
#     the prefix <build>/wineprefix-N, the (N+1)th display of
#     PANEL_TEST_DISPLAYS (scripts/xvfb.sh, xvfb_start_workers) or else
#     $DISPLAY, the programs through <build>/worker-N
#
# Sourced by wine-run; run as a command, it runs COMMAND as a test of the
# worker CTest chose (the Python tests and the scripts among the tests):
#   scripts/test-worker.sh <build folder> COMMAND [ARGUMENT...]

# The worker CTest gave this test: its number, 0 when none.
test_worker_id() {
  local group=${CTEST_RESOURCE_GROUP_0_WORKERS:-}
  group=${group#id:}
  group=${group%%,*}
  case "$group" in
    ''|*[!0-9]*) echo 0 ;;
    *) echo "$group" ;;
  esac
}

# The prefix of worker N of a build folder.
test_worker_prefix() {
  local build=$1 id=$2
  if [ "$id" = 0 ]; then echo "$build/wineprefix"; else echo "$build/wineprefix-$id"; fi
}

# Exports WINEPREFIX, DISPLAY and PANEL_TEST_WORKER for the worker CTest
# chose, and PANEL_TEST_PROGRAMS, the folder its programs run from.
test_worker_enter() {
  local build=$1 id displays
  id=$(test_worker_id)
  export PANEL_TEST_WORKER=$id
  export WINEPREFIX
  WINEPREFIX=$(test_worker_prefix "$build" "$id")
  read -r -a displays <<<"${PANEL_TEST_DISPLAYS:-}"
  if [ -n "${displays[$id]:-}" ]; then export DISPLAY=${displays[$id]}; fi
  if [ "$id" = 0 ]; then
    PANEL_TEST_PROGRAMS=$build
    return 0
  fi
  # Links to the build's programs (.exe, .com), libraries and fixtures,
  # renewed at each start so that they always reach the latest build; what a
  # program writes beside itself lands here.
  PANEL_TEST_PROGRAMS=$build/worker-$id
  mkdir -p "$PANEL_TEST_PROGRAMS"
  local program
  for program in "$build"/*.exe "$build"/*.com "$build"/*.dll; do
    [ -e "$program" ] && ln -sfn "../$(basename "$program")" "$PANEL_TEST_PROGRAMS/"
  done
  ln -sfn ../fixtures "$PANEL_TEST_PROGRAMS/fixtures"
}

# Makes the worker's prefix (made by wine_prefix_ensure) a test prefix, once:
# every program in it runs on the test desktop (tests/support/
# test_desktop_win32.h: a Wine virtual desktop "ToolkitTests" of 1600 x 1200),
# where windows are activated and boxes come at once, not on the bare X
# server, where Wine waits for a window manager that never answers.
test_worker_prepare() {
  [ -f "$WINEPREFIX/.controlpanel-test-desktop" ] && return 0
  (
    flock 9
    [ -f "$WINEPREFIX/.controlpanel-test-desktop" ] && exit 0
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v ToolkitTests /d 1600x1200 /f \
      </dev/null >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d ToolkitTests /f </dev/null >/dev/null 2>&1 ||
      { echo "test-worker: could not set the test desktop in $WINEPREFIX" >&2; exit 1; }
    touch "$WINEPREFIX/.controlpanel-test-desktop"
  ) 9>"$WINEPREFIX.lock"
}

# The path to start PROGRAM by in this worker: a program of the build
# folder through the worker's folder, any other as it is.
test_worker_program() {
  local build=$1 program=$2
  if [ "$PANEL_TEST_PROGRAMS" != "$build" ] && [ "$(dirname "$program")" = "$build" ] &&
     [ -e "$PANEL_TEST_PROGRAMS/$(basename "$program")" ]; then
    echo "$PANEL_TEST_PROGRAMS/$(basename "$program")"
  else
    echo "$program"
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  build=$1
  shift
  test_worker_enter "$build"
  source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
  wine_prefix_ensure && test_worker_prepare || exit 127
  wine_server_keep
  exec "$@"
fi
