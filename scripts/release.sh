#!/usr/bin/env bash
# Builds the 32-bit product (preset "release", build/release) and packs it:
#   dist/ControlPanel-<version>.zip         the program and its console companion
#                                          ControlPanel.com, the README with docs/
#                                          (pages, pictures, the status schema),
#                                          the runtime libraries' notices
#   dist/ControlPanel-<version>.zip.sha256 its SHA-256 sum ("sha256sum -c" reads it)
#   dist/ControlPanel.exe.p7s              signed: the detached signature of each
#   dist/ControlPanel.com.p7s              program (PKCS#7, DER)
#
#   scripts/release.sh                            unsigned: the programs as built
#   SIGN_PASSWORD=... scripts/release.sh --sign FILE.p12 [--timestamp URL]
#                                                 both programs signed with the
#                                                 PKCS#12 identity (SHA-256 Authenticode,
#                                                 osslsigncode), time-stamped by the
#                                                 RFC 3161 service at URL
#   scripts/release.sh --signatures FOLDER        the published signatures in FOLDER
#                                                 attached instead: a signed release
#                                                 again (scripts/verify-release.sh)
#   --out FOLDER                                  the archive and signatures into
#                                                 FOLDER instead of dist/
#
# <version> is the product version of the program's version resource. Two
# builds of the same commit give the same bytes: the archive's time is the
# last commit's (SOURCE_DATE_EPOCH, which may be set instead outside a git
# checkout), and the build itself writes no time and no folder into the
# program (CMakeLists.txt). A signed release keeps that: the unsigned
# programs stay in build/release, the signed ones are made in
# build/release/signed, and each signature, attached to its unsigned
# program, must give the signed program byte for byte, or the release fails.
# The identity and its password are read where they are given and never
# copied, printed or put on a command line (scripts/authenticode.sh); the
# password leaves the environment before anything else runs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/authenticode.sh"

usage() {
  echo "usage: scripts/release.sh [--sign FILE.p12 [--timestamp URL] | --signatures FOLDER] [--out FOLDER]" >&2
  echo "       (the identity's password in the environment variable SIGN_PASSWORD)" >&2
  exit 2
}
# (Files and folders given are read from the current folder; dist/ is the checkout's.)
identity="" time_stamp_url="" signatures="" out=dist
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --sign) identity=$(realpath -m -- "$2") ;;
    --timestamp) time_stamp_url=$2 ;;
    --signatures) signatures=$(realpath -m -- "$2") ;;
    --out) out=$(realpath -m -- "$2") ;;
    *) usage ;;
  esac
  shift 2
done
cd "$root"
[ -n "$time_stamp_url" ] && [ -z "$identity" ] && usage
[ -n "$identity" ] && [ -n "$signatures" ] && usage

sign_password=${SIGN_PASSWORD-}
password_given=${SIGN_PASSWORD+given}
unset SIGN_PASSWORD
if [ -n "$identity" ]; then
  if [ ! -r "$identity" ] || [ ! -f "$identity" ]; then
    echo "release.sh: cannot read the signing identity $identity" >&2
    exit 1
  fi
  if [ -z "$password_given" ]; then
    echo "release.sh: set SIGN_PASSWORD to the password of $identity (empty for none)" >&2
    exit 1
  fi
fi
if [ -n "$signatures" ]; then
  if [ "$(realpath -m -- "$out")" = "$signatures" ]; then
    echo "release.sh: --out must name another folder than the signatures' $signatures" >&2
    exit 1
  fi
  for program in "${SIGNED_PROGRAMS[@]}"; do
    if [ ! -f "$signatures/$program.p7s" ]; then
      echo "release.sh: no signature $signatures/$program.p7s" >&2
      exit 1
    fi
  done
fi

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

built=build/release
packed=$built
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "$identity" ] || [ -n "$signatures" ]; then
  packed=$built/signed
  rm -rf "$packed"
  mkdir -p "$packed"
  for program in "${SIGNED_PROGRAMS[@]}"; do
    if [ -n "$identity" ]; then
      if ! report=$(authenticode_sign "$identity" "$sign_password" "$time_stamp_url" \
                      "$built/$program" "$packed/$program" 2>&1); then
        printf '%s\n' "$report" >&2
        echo "release.sh: could not sign $program with $identity" >&2
        exit 1
      fi
      if ! report=$(authenticode_detach "$packed/$program" "$work/$program.p7s" 2>&1); then
        printf '%s\n' "$report" >&2
        echo "release.sh: could not take the signature out of the signed $program" >&2
        exit 1
      fi
      # The signature alone must make the signed program again, as anyone
      # will make it from a rebuild and the published signature.
      if ! authenticode_attach "$work/$program.p7s" "$built/$program" "$work/$program" >&2 ||
         ! cmp -s "$work/$program" "$packed/$program"; then
        echo "release.sh: the signature of $program attached to the build does not give the signed $program" >&2
        exit 1
      fi
    else
      cp -- "$signatures/$program.p7s" "$work/$program.p7s"
      if ! authenticode_attach "$work/$program.p7s" "$built/$program" "$packed/$program"; then
        echo "release.sh: could not attach $signatures/$program.p7s to $program" >&2
        exit 1
      fi
    fi
  done
fi

mkdir -p "$out"
for program in "${SIGNED_PROGRAMS[@]}"; do
  rm -f -- "$out/$program.p7s"
done
scripts/release-archive.py "$packed/ControlPanel.exe" "$root" "$out"
if [ "$packed" = "$built" ]; then
  echo "release: not signed (no --sign FILE.p12): the programs are the build's"
  exit 0
fi
for program in "${SIGNED_PROGRAMS[@]}"; do
  cp -- "$work/$program.p7s" "$out/$program.p7s"
  echo "$out/$program.p7s"
done
if [ -n "$identity" ]; then
  echo "release: signed ${SIGNED_PROGRAMS[*]} with $identity${time_stamp_url:+, time-stamped by $time_stamp_url}; each signature attached to the build gives the signed program"
else
  echo "release: the signatures of $signatures attached to ${SIGNED_PROGRAMS[*]}"
fi
