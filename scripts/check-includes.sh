#!/usr/bin/env bash
# Checks the includes of src/ against the order of its rooms and the
# file-name rule (docs/architecture.md, "Rooms and units"); prints each break
# as FILE:LINE: why, and fails when there is one.
#
# Rooms, from the bottom. The foundation stands in rooms of its own:
# foundation/core (text and the platform seam), foundation/log (the
# operations log), foundation/files, then foundation/trees (folder trees) and
# foundation/profile (the settings document format) side by side. Above it:
# toolkit; installation (where the player is: its keys and folders, the
# registry key, the settings lock); maintenance, settings and inventory side
# by side; shell. A file includes headers of its own room and the rooms
# below, never of a room above nor of one beside it.
#
# Units: no two units include each other (a unit is a header with its .cpp,
# _win32.h and _win32.cpp).
#
# File names: a file whose name ends in _win32 (.h or .cpp) is Windows-only;
# _host.cpp is the Linux side of the platform seam; every other file is
# portable and includes neither a system header of Windows nor a _win32.h.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../src"

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
    installation/*) echo "6 installation" ;;
    maintenance/*) echo "7 maintenance" ;;
    settings/*) echo "7 settings" ;;
    inventory/*) echo "7 inventory" ;;
    shell/*) echo "8 shell" ;;
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
    echo "src/$file: stands in no room"
    status=1
  fi
  portable=true
  case "$file" in *_win32.h | *_win32.cpp | *_host.cpp) portable=false ;; esac
  while IFS=: read -r line text; do
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      [ "$(unit_of "$header")" != "$(unit_of "$file")" ] &&
        echo "$(unit_of "$file") $(unit_of "$header") src/$file:$line" >>"$edges"
      read -r theirs their_room < <(room_of "$header")
      if [ "$their_room" != "$own_room" ] && [ "$theirs" -gt "$own" ]; then
        echo "src/$file:$line: includes $header, of a room above its own"
        status=1
      elif [ "$their_room" != "$own_room" ] && [ "$theirs" -eq "$own" ]; then
        echo "src/$file:$line: includes $header, of a room beside its own"
        status=1
      fi
      if $portable && [[ $header == *_win32.h ]]; then
        echo "src/$file:$line: a portable file includes the Windows-only $header"
        status=1
      fi
    elif $portable && [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<($windows_headers)\> ]]; then
      echo "src/$file:$line: a portable file includes <${BASH_REMATCH[1]}> (name it _win32)"
      status=1
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

# A pair of units that include each other, named by one include each way.
circles=$(awk '{ seen[$1 " " $2] = $3 } END {
  for (pair in seen) { split(pair, u, " "); back = u[2] " " u[1]
    if (u[1] < u[2] && (back in seen)) print seen[pair] ": " u[1] " and " u[2] " include each other (also " seen[back] ")" } }' "$edges")
if [ -n "$circles" ]; then
  echo "$circles"
  status=1
fi
exit $status
