# Sourced: which build of the program this machine runs, and why.
#
# The product is the 32-bit ControlPanel.exe, run under 32-bit Wine. Some
# kernels run no 32-bit code at all ("IA-32 emulation off": every i386
# program fails with "Exec format error", and Wine's WoW64 faults too); there
# the same sources are built for 64-bit Windows and run under 64-bit Wine.
# PANEL_BITS=64 forces the 64-bit path on any machine; PANEL_BITS=32 asks for
# the 32-bit one and fails where it cannot run.
#
#   panel_runs_32bit      whether this kernel runs a 32-bit x86 program
#   panel_choose_bits     sets and exports PANEL_BITS (32 or 64) and says why

# Runs the smallest 32-bit x86 Linux program there is (it only exits 0).
panel_runs_32bit() {
  local probe status
  probe=$(mktemp) || return 1
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  return $status
}

panel_choose_bits() {
  case "${PANEL_BITS:-}" in
    64)
      echo "build: PANEL_BITS=64: using the 64-bit build under 64-bit Wine" >&2 ;;
    32)
      if ! panel_runs_32bit; then
        echo "build: PANEL_BITS=32, but this kernel does not run 32-bit programs (IA-32 emulation is off)" >&2
        return 1
      fi
      echo "build: PANEL_BITS=32: using the 32-bit product under 32-bit Wine" >&2 ;;
    "")
      if panel_runs_32bit; then
        PANEL_BITS=32
        echo "build: this machine runs 32-bit programs: using the 32-bit product under 32-bit Wine" >&2
      else
        PANEL_BITS=64
        echo "build: this kernel does not run 32-bit programs (IA-32 emulation is off): using the 64-bit build under 64-bit Wine" >&2
      fi ;;
    *)
      echo "build: PANEL_BITS is 32 or 64, not \"$PANEL_BITS\"" >&2
      return 1 ;;
  esac
  export PANEL_BITS
}
