#!/usr/bin/env bash
# Installs every package the build and the tests need, on Debian 12.
# Idempotent: when everything is present it only checks and returns.
# 32-bit Wine (wine32, an i386 package) is installed only where the 32-bit
# product runs (scripts/bits.sh); both cross-compilers always are, so that
# the 32-bit product builds everywhere.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/bits.sh"
[ -n "${PANEL_BITS:-}" ] || panel_choose_bits

packages=(
  cmake make
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64
  googletest
  clang libclang-rt-14-dev clang-format
  xvfb
  libinih-dev
  imagemagick x11-utils
  python3 python3-jsonschema python3-pefile
  osslsigncode openssl
  dosfstools locales
)
[ "$PANEL_BITS" = 32 ] && packages+=(wine32:i386)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
if [ "$PANEL_BITS" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
if ! $sudo apt-get update -qq; then
  echo "setup: apt-get update failed" >&2
  exit 1
fi
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null; then
  echo "setup: could not install ${missing[*]}" >&2
  exit 1
fi
