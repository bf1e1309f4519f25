#!/usr/bin/env bash
# Checks the includes of src/ against the order of its rooms and the
# file-name rule (docs/architecture.md, "Rooms and units"), and the order of
# the includes within each block of src/, tests/ and bench/ (clang-format's
# include sorting, .clang-format); prints each break as FILE:LINE: why, and
# fails when there is one.
#
#   scripts/check-includes.sh          checks
#   scripts/check-includes.sh --fix    sorts the include blocks in place, and
#                                      checks the rest
#   scripts/check-includes.sh FOLDER   checks the rooms of FOLDER as it would
#                                      src/ (its own test,
#                                      scripts/check-includes-test.sh)
#
# Include order: a block is a run of include lines with no blank line
# between; blocks stay as they are, and within one <windows.h> comes first,
# then the other system headers, then the project's, each by name.
# clang-format is given the include lines alone, and a result that differs
# from the file by more than the order of its lines is refused.
#
# Rooms, from the bottom. The foundation stands in rooms of its own:
# foundation/core (text and the platform seam), foundation/log (the
# operations log), foundation/files, then foundation/trees (folder trees) and
# foundation/profile (the settings document format) side by side. Above it:
# toolkit and installation (where the player is: its keys and folders, the
# registry key, the settings lock) side by side; maintenance, settings and
# inventory side by side; shell. A file includes headers of its own room and the rooms
# below, never of a room above nor of one beside it.
#
# Units: no loop of units of any length, two or more units each including
# the next and the last the first (a unit is a header with its .cpp, _win32.h
# and _win32.cpp).
#
# File names: a file whose name ends in _win32 (.h or .cpp) is Windows-only;
# _host.cpp is the Linux side of the platform seam; every other file is
# portable and includes neither a system header of Windows nor a _win32.h.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fix=""
if [ "${1:-}" = --fix ]; then
  fix=1
  shift
fi
if [ $# -gt 1 ] || [[ ${1:-} == -* ]]; then
  echo "usage: scripts/check-includes.sh [--fix] [FOLDER]" >&2
  exit 2
fi
rooms=${1:-$root/src}
shown=${1:-src}
shown=${shown%/}
cd "$rooms"

# A file's room and its height: "HEIGHT ROOM". Rooms of one height stand
# side by side.
room_of() {
  case "$1" in
    foundation/core/*) echo "1 foundation/core" ;;
    foundation/log/*) echo "2 foundation/log" ;;
    foundation/files/*) echo "3 foundation/files" ;;
    foundation/trees/*) echo "4 foundation/trees" ;;
    foundation/profile/*) echo "4 foundation/profile" ;;
    toolkit/*) echo "5 toolkit" ;;
    installation/*) echo "5 installation" ;;
    maintenance/*) echo "6 maintenance" ;;
    settings/*) echo "6 settings" ;;
    inventory/*) echo "6 inventory" ;;
    shell/*) echo "7 shell" ;;
    *) echo "0 ${1%/*}" ;;
  esac
}

# The unit a file or header belongs to: its path without _win32, _host and
# the extension.
unit_of() {
  local name=${1%.*}
  name=${name%_win32}
  echo "${name%_host}"
}

windows_headers='windows\.h|shellapi\.h|shlobj\.h|mmsystem\.h|delayimp\.h|winreg\.h|winuser\.h|commctrl\.h'
status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
  read -r own own_room < <(room_of "$file")
  if [ "$own" -eq 0 ]; then
    echo "$shown/$file: stands in no room"
    status=1
  fi
  portable=true
  case "$file" in *_win32.h | *_win32.cpp | *_host.cpp) portable=false ;; esac
  while IFS=: read -r line text; do
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      [ "$(unit_of "$header")" != "$(unit_of "$file")" ] &&
        echo "$(unit_of "$file") $(unit_of "$header") $shown/$file:$line" >>"$edges"
      read -r theirs their_room < <(room_of "$header")
      if [ "$their_room" != "$own_room" ] && [ "$theirs" -gt "$own" ]; then
        echo "$shown/$file:$line: includes $header, of a room above its own"
        status=1
      elif [ "$their_room" != "$own_room" ] && [ "$theirs" -eq "$own" ]; then
        echo "$shown/$file:$line: includes $header, of a room beside its own"
        status=1
      fi
      if $portable && [[ $header == *_win32.h ]]; then
        echo "$shown/$file:$line: a portable file includes the Windows-only $header"
        status=1
      fi
    elif $portable && [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<($windows_headers)\> ]]; then
      echo "$shown/$file:$line: a portable file includes <${BASH_REMATCH[1]}> (name it _win32)"
      status=1
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

# Loops of units of any length, each named once by its units in the order
# of their includes and by the include that closes it: a depth-first walk
# of the units meets a unit still on its path.
loops=$(sort -u "$edges" | awk '
  function visit(unit,    i, next_unit, at, loop, k) {
    state[unit] = 1
    path[++depth] = unit
    for (i = 1; i <= count[unit]; i++) {
      next_unit = target[unit, i]
      if (state[next_unit] == 1) {
        at = depth
        while (path[at] != next_unit) at--
        loop = ""
        for (k = at; k <= depth; k++) loop = loop path[k] " -> "
        if (!(loop in named)) {
          named[loop] = 1
          print where[unit, next_unit] ": units include each other in a loop: " loop next_unit
        }
      } else if (state[next_unit] == 0) {
        visit(next_unit)
      }
    }
    depth--
    state[unit] = 2
  }
  {
    if (!(($1, $2) in where)) { target[$1, ++count[$1]] = $2; where[$1, $2] = $3 }
    units[$1] = 1; units[$2] = 1
  }
  END {
    n = 0
    for (unit in units) sorted[++n] = unit
    for (i = 2; i <= n; i++) { u = sorted[i]; for (j = i - 1; j >= 1 && sorted[j] > u; j--) sorted[j + 1] = sorted[j]; sorted[j + 1] = u }
    for (i = 1; i <= n; i++) if (state[sorted[i]] == 0) visit(sorted[i])
  }')
if [ -n "$loops" ]; then
  echo "$loops"
  status=1
fi

# The include blocks of the project's own sources, in the order clang-format
# sorts them (only for the project's tree, not for another FOLDER).
[ $# -eq 1 ] && exit $status
sorted=$(mktemp)
trap 'rm -f "$edges" "$sorted"' EXIT
cd "$root"
while IFS= read -r file; do
  # The runs of include lines, as clang-format's --lines ranges.
  ranges=$({ grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true; } | cut -d: -f1 |
           awk 'NR == 1 { first = $1; last = $1; next }
                $1 == last + 1 { last = $1; next }
                { print "--lines=" first ":" last; first = $1; last = $1 }
                END { if (NR) print "--lines=" first ":" last }')
  [ -n "$ranges" ] || continue
  # shellcheck disable=SC2086 # one argument for each range
  clang-format --style=file:"$root/.clang-format" $ranges "$file" >"$sorted"
  cmp -s "$sorted" "$file" && continue
  if [ "$(sort "$file" | md5sum)" != "$(sort "$sorted" | md5sum)" ]; then
    echo "$file: clang-format would change more than the order of its includes; left as it is"
    status=1
  elif [ -n "$fix" ]; then
    cat "$sorted" >"$file"
    echo "$file: include blocks sorted"
  else
    line=$({ diff "$file" "$sorted" || true; } | sed -nE '1s/^([0-9]+).*/\1/p')
    echo "$file:$line: an include block out of order (scripts/check-includes.sh --fix sorts it)"
    status=1
  fi
done < <(git ls-files 'src/*' 'tests/*' 'bench/*' | grep -E '\.(h|c|cpp)$')
exit $status
