#!/usr/bin/env bash
# Takes pictures of both windows of ControlPanel.exe from the X server, on a
# screen of 96 DPI and on one of 144 DPI:
#   scripts/screenshots.sh <program> <output folder>
# The caller sets WINEPREFIX (sourced scripts/wine-env.sh) and DISPLAY (an X
# server whose root shows the Wine desktop the windows open on). For each DPI
# the driver fixtures/window_shots.exe of the same build opens the main
# window, then the installed-components window, and hands over each window's
# frame; the pictures are cut from the X server's root window. Writes
# main-window.png and components-window.png (96 DPI), main-window-144dpi.png
# and components-window-144dpi.png into the output folder and prints their
# paths; exits non-zero when a window did not come.
set -euo pipefail
program=$1
out=$2
driver=$(dirname "$program")/fixtures/window_shots.exe
mkdir -p "$out"
handshake=$(mktemp -d)
trap 'rm -rf "$handshake"' EXIT

# The Wine desktop's place on the X server's root window.
desktop_origin() {
  local id
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Wine desktop"|ToolkitTests/ {print $1; exit}')
  if [ -n "$id" ]; then
    xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x+0, y+0}'
  else
    echo "0 0"
  fi
}

# photograph <DPI> <picture name suffix>
photograph() {
  local dpi=$1 suffix=$2 driver_pid name picture
  rm -f "$handshake"/*
  wine "$driver" "$(winepath -w "$program" 2>/dev/null)" "$(winepath -w "$handshake" 2>/dev/null)" "$dpi" \
    </dev/null >/dev/null 2>&1 &
  driver_pid=$!
  for name in main components; do
    for _ in $(seq 600); do
      [ -f "$handshake/$name.rect" ] && break
      kill -0 "$driver_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ ! -f "$handshake/$name.rect" ]; then
      echo "screenshots: the $name window did not come at $dpi DPI" >&2
      wait "$driver_pid" || true
      exit 1
    fi
    # (Written on the Windows side: the line ends in CR LF.)
    read -r left top width height < <(tr -d '\r' <"$handshake/$name.rect")
    read -r origin_x origin_y < <(desktop_origin)
    picture="$out/$name-window$suffix.png"
    import -window root -crop "${width}x${height}+$((origin_x + left))+$((origin_y + top))" +repage "$picture"
    # The whole window, and more than a blank area.
    read -r got_width got_height colours < <(identify -format '%w %h %k\n' "$picture")
    if [ "$got_width $got_height" != "$width $height" ] || [ "$colours" -lt 8 ]; then
      echo "screenshots: $picture is ${got_width}x$got_height with $colours colours, not a ${width}x$height window" >&2
      touch "$handshake/$name.taken"
      wait "$driver_pid" || true
      exit 1
    fi
    echo "$picture"
    touch "$handshake/$name.taken"
  done
  wait "$driver_pid"
}

photograph 96 ""
photograph 144 "-144dpi"
