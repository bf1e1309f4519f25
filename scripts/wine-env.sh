# Sourced: the Wine settings of this project's own prefix.
#   WINEPREFIX must be set by the caller (each build has a prefix of its own).
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko install prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once: wineboot, the crash dialog off. Serialised with a
# lock so that tests started together do not boot it twice.
wine_prefix_ensure() {
  [ -f "$WINEPREFIX/.controlpanel-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/.controlpanel-ready" ] && exit 0
    wineboot --init </dev/null >/dev/null 2>&1 || exit 1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 || exit 1
    wineserver -w
    touch "$WINEPREFIX/.controlpanel-ready"
  ) 9>"$WINEPREFIX.lock"
}

# Keeps the Wine server, and the services it started, alive for a minute after
# the last program ends, so that back-to-back test programs start quickly.
wine_server_keep() {
  wineserver -p60 </dev/null >/dev/null 2>&1 || true
}

# Ends the prefix's server and its services.
wine_server_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
