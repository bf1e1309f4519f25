# Sourced: the Wine settings of this project's own prefix.
#   WINEPREFIX must be set by the caller (each build has a prefix of its own).
#   PANEL_BITS (scripts/bits.sh; 32 when unset) chooses the Wine that runs
#   that build: 32-bit Wine for the 32-bit product, 64-bit Wine (the wine64
#   package's loader, in a 64-bit prefix) for the 64-bit build.
if [ "${PANEL_BITS:-32}" = 64 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  # "wine", "wineboot" and "winepath", called by name here and by the tests,
  # must reach the 64-bit loader: Debian's own start the 32-bit one first.
  case ":$PATH:" in
    *":$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:"*) ;;
    *) export PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH" ;;
  esac
else
  export WINEARCH=win32
  unset WINELOADER
fi
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
    if ! wineboot --init </dev/null >/dev/null 2>&1; then
      echo "wine: could not create the $WINEARCH prefix $WINEPREFIX (wineboot failed)" >&2
      exit 1
    fi
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 || { echo "wine: could not set up $WINEPREFIX" >&2; exit 1; }
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
