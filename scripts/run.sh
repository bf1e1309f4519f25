#!/usr/bin/env bash
# Builds ControlPanel.exe and runs it under Wine on a sample player
# installation in a private Wine prefix, with the options given (no options:
# -ip, the install path). Prints what the program prints and its exit code.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target ControlPanel >/dev/null

export WINEPREFIX="$root/build/sample/wineprefix"
source scripts/wine-env.sh
wine_prefix_ensure
trap wine_server_stop EXIT

# The sample installation: the player's component folder with a few files and
# its resource cache, the player key, and the maker key.
drive_c="$WINEPREFIX/drive_c"
components="$drive_c/Program Files/Quillframe/Quillframe3"
mkdir -p "$components/Components" "$components/Resources" "$drive_c/Program Files/Corvalent/Media Player"
# The two settings files, as the program writes them (CR LF lines,
# "key = value", a final empty line). They are kept from run to run, so that
# what one run changes the next one sees, and written again when missing or
# without their section.
grep -qs '^\[ComponentMgrOptions\]' "$components/QuillframeConfig.ini" ||
  printf '%s\r\n' '[ComponentMgrOptions]' 'CheckForUpdates = 1' 'LastUpdateCheckTime = 0' 'BroadcastKey = 1' '' \
    >"$components/QuillframeConfig.ini"
grep -qs '^\[Download Sites\]' "$components/QFXDownloadSites.txt" ||
  printf '%s\r\n' '[Download Sites]' 'site = https://components.corvalent.com/QuillframeComponents/' \
    'site = https://mirror.example.com/QuillframeComponents/' '' >"$components/QFXDownloadSites.txt"
touch "$components/Resources/cache.dat"
wine reg add 'HKLM\Software\Quillframe\Quillframe3' /v 'Component Path' /t REG_SZ \
  /d 'C:\Program Files\Quillframe\Quillframe3' /f </dev/null >/dev/null 2>&1
wine reg add 'HKLM\Software\Corvalent' /v 'Application Path' /t REG_SZ \
  /d 'C:\Program Files\Corvalent\Media Player' /f </dev/null >/dev/null 2>&1

[ $# -gt 0 ] || set -- -ip
echo "ControlPanel.exe $*"
# cmd reads the exit code on the Windows side: all 32 bits, sign included.
cp build/win32/ControlPanel.exe "$drive_c/ControlPanel.exe"
# (The script itself succeeds whatever the code: a Unix exit status would keep
# only its low 8 bits.)
wine cmd /c 'C:\ControlPanel.exe' "$@" '&' echo. '&' echo exit code %ERRORLEVEL% </dev/null 2>/dev/null | tr -d '\r' || true
