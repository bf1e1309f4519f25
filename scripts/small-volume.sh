#!/usr/bin/env bash
# A small volume for the test of the profile writer on a full disk: a 1 MiB
# tmpfs, shown to a Wine prefix as a drive letter through its dosdevices
# folder. Mounting needs root (or sudo); CI runs as root.
#
#   scripts/small-volume.sh mount   PREFIX FOLDER [LETTER]
#   scripts/small-volume.sh unmount PREFIX FOLDER [LETTER]
#
# LETTER defaults to r; the test finds the drive through PROFILE_FULL_VOLUME.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
action=$1 prefix=$2 folder=$3 letter=${4:-r}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

case "$action" in
  mount)
    export WINEPREFIX="$prefix"
    source "$root/scripts/wine-env.sh"
    wine_prefix_ensure
    mkdir -p "$folder"
    mountpoint -q "$folder" || $sudo mount -t tmpfs -o size=1m,mode=0777 tmpfs "$folder"
    ln -sfn "$folder" "$prefix/dosdevices/$letter:"
    ;;
  unmount)
    rm -f "$prefix/dosdevices/$letter:"
    if mountpoint -q "$folder"; then $sudo umount "$folder"; fi
    rmdir "$folder" 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 mount|unmount PREFIX FOLDER [LETTER]" >&2
    exit 2
    ;;
esac
