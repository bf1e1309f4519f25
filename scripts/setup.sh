#!/usr/bin/env bash
# Installs every package the build and the tests need, on Debian 12.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 wine64
  googletest libgtest-dev
  clang libclang-rt-14-dev
  xvfb xauth
  hyperfine libbenchmark-dev libinih-dev
  imagemagick x11-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
