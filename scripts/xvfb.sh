# Sourced: private X servers for programs that show windows under Wine.

# Starts Xvfb on the first free display from :90 on and exports DISPLAY.
xvfb_start() {
  local number pid
  for number in $(seq 90 140); do
    [ -e "/tmp/.X${number}-lock" ] && continue
    Xvfb ":$number" -screen 0 2048x1536x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
      XVFB_PIDS="${XVFB_PIDS:-} $pid"
      XVFB_PID=$pid
      export DISPLAY=":$number"
      return 0
    fi
  done
  echo "xvfb: no free display" >&2
  return 1
}

# Starts one display for each of COUNT test workers (scripts/test-worker.sh)
# and exports them in PANEL_TEST_DISPLAYS; DISPLAY is the first.
xvfb_start_workers() {
  local count=$1 displays=""
  for _ in $(seq "$count"); do
    xvfb_start || return 1
    displays="$displays $DISPLAY"
  done
  export PANEL_TEST_DISPLAYS="${displays# }"
  export DISPLAY=${PANEL_TEST_DISPLAYS%% *}
}

# Ends every display this shell started.
xvfb_stop() {
  local pid
  for pid in ${XVFB_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
  XVFB_PIDS=""
}
