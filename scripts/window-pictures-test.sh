#!/usr/bin/env bash
# The test run's pictures of both windows: the sample installation in the
# build's prefix, the pictures in <build folder>/screenshots, the sample taken
# away again. Run by CTest (WINEPREFIX and DISPLAY set by the test run).
#   scripts/window-pictures-test.sh <Windows build folder>
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$1
source "$root/scripts/wine-env.sh"
source "$root/scripts/sample-installation.sh"
wine_prefix_ensure
trap sample_installation_remove EXIT
sample_installation_make "$build/fixtures"
folder="$WINEPREFIX/drive_c/window-pictures"
rm -rf "$folder" && mkdir -p "$folder"
cp "$build/ControlPanel.exe" "$folder/"
# The driver of the same build, where scripts/screenshots.sh looks for it.
mkdir -p "$folder/fixtures" && cp "$build/fixtures/window_shots.exe" "$folder/fixtures/"
"$root/scripts/screenshots.sh" "$folder/ControlPanel.exe" "$build/screenshots"
rm -rf "$folder"
