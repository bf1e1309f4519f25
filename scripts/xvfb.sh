# Sourced: a private X server for programs that show windows under Wine.

# Starts Xvfb on the first free display from :90 on and exports DISPLAY.
xvfb_start() {
  local number
  for number in $(seq 90 140); do
    [ -e "/tmp/.X${number}-lock" ] && continue
    Xvfb ":$number" -screen 0 2048x1536x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$number"
      return 0
    fi
  done
  echo "xvfb: no free display" >&2
  return 1
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
