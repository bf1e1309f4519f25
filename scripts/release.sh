#!/usr/bin/env bash
# Builds the 32-bit product (preset "release", build/release) and packs it:
#   dist/ControlPanel-<version>.zip         the program and its console companion
#                                          ControlPanel.com, the README with docs/
#                                          (pages, pictures, the status schema),
#                                          the runtime libraries' notices
#   dist/ControlPanel-<version>.zip.sha256 its SHA-256 sum ("sha256sum -c" reads it)
# <version> is the product version of the program's version resource. Two
# builds of the same commit give the same bytes: the archive's time is the
# last commit's (SOURCE_DATE_EPOCH, which may be set instead outside a git
# checkout), and the build itself writes no time and no folder into the
# program (CMakeLists.txt).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null); then
    echo "release.sh: not a git checkout: set SOURCE_DATE_EPOCH to the time of the sources" >&2
    exit 1
  fi
fi
export SOURCE_DATE_EPOCH

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target ControlPanel ControlPanelConsole
scripts/release-archive.py build/release/ControlPanel.exe "$root" dist
