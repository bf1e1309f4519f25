#!/usr/bin/env bash
# The libraries a program imports at start must be the ones given, nothing
# else: ControlPanel.exe kernel32, advapi32 and the C runtime; its companion
# ControlPanel.com kernel32 and the C runtime. The compiler links user32,
# gdi32 and shell32 by default, so a window or shell function called
# directly, outside the delay-loaded list
# (src/foundation/core/delay_loaded_functions.h), would bring its library
# back into the import table without any other sign. Run by CTest with the
# build's objdump:
#   scripts/import-table-test.sh <objdump> <program> <library.dll> ...
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: scripts/import-table-test.sh <objdump> <program> <library.dll> ..." >&2
  exit 2
fi
objdump=$1 program=$2
shift 2
allowed=$(echo "$*" | tr '[:upper:]' '[:lower:]')
imported=$("$objdump" -p "$program" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
if [ -z "$imported" ]; then
  echo "import-table: no import table read from $program" >&2
  exit 1
fi
status=0
for library in $imported; do
  case " $allowed " in
    *" $library "*) echo "imports $library" ;;
    *) echo "import-table: $program imports $library at start (only $allowed may be)" >&2; status=1 ;;
  esac
done
exit $status
