#!/usr/bin/env bash
# Checks a published release against the sources, for anyone: builds the
# release again from this checkout (check out the release's commit first),
# attaches the published signatures to the rebuilt programs
# (scripts/release.sh --signatures), compares the result with the published
# archive byte for byte (scripts/release-compare.py) and verifies the
# signatures of both published programs with osslsigncode.
#
#   scripts/verify-release.sh [--ca-file FILE] [--tsa-ca-file FILE] FOLDER
#
# FOLDER holds the release as published: ControlPanel-<version>.zip and,
# for a signed release, ControlPanel.exe.p7s and ControlPanel.com.p7s beside
# it; the sum ControlPanel-<version>.zip.sha256 is checked when it is there.
# --ca-file names the certificates (PEM) the signer's chain must end in, for
# a private certificate authority; --tsa-ca-file the same for the time
# stamp's chain; without them, the system's store (ca-certificates).
#
# Prints a line for each program (and for any other entry that differs):
# "same bytes", or the offset where it first differs from the rebuild; then
# for each program who signed it and the time of its time stamp; last, one
# line that says whether the release is the same bytes as the rebuild and
# its signatures verify. Exit status 0 when both hold, 1 when not, 2 for a
# wrong command line. The rebuild's output goes to build/verify-release.log.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/authenticode.sh

usage() {
  echo "usage: scripts/verify-release.sh [--ca-file FILE] [--tsa-ca-file FILE] FOLDER" >&2
  exit 2
}
ca_file="" tsa_ca_file="" folder=""
while [ $# -gt 0 ]; do
  case "$1" in
    --ca-file) [ $# -ge 2 ] || usage; ca_file=$(realpath -- "$2"); shift 2 ;;
    --tsa-ca-file) [ $# -ge 2 ] || usage; tsa_ca_file=$(realpath -- "$2"); shift 2 ;;
    -*) usage ;;
    *) [ -z "$folder" ] || usage; folder=$(realpath -- "$1"); shift ;;
  esac
done
[ -n "$folder" ] || usage

failed() {
  echo "verify-release: FAILED: $*"
  exit 1
}

archives=("$folder"/ControlPanel-*.zip)
[ ${#archives[@]} -eq 1 ] && [ -f "${archives[0]}" ] ||
  failed "$folder holds no release archive ControlPanel-<version>.zip, or more than one"
archive=${archives[0]}
name=$(basename "$archive")
signatures=0
for program in "${SIGNED_PROGRAMS[@]}"; do
  [ -f "$folder/$program.p7s" ] && signatures=$((signatures + 1))
done
[ $signatures -eq 0 ] || [ $signatures -eq ${#SIGNED_PROGRAMS[@]} ] ||
  failed "$folder holds the signature of one program only"

if [ -f "$archive.sha256" ]; then
  (cd "$folder" && sha256sum --quiet -c "$name.sha256") || failed "$name does not match its sum $name.sha256"
  echo "$name: matches its sum $name.sha256"
fi

commit=$(git rev-parse --short HEAD 2>/dev/null || echo "these sources")
[ -z "$(git status --porcelain 2>/dev/null)" ] || commit="$commit with uncommitted changes"
mkdir -p build
log=build/verify-release.log
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
attach=()
[ $signatures -eq 0 ] || attach=(--signatures "$folder")
echo "verify-release: building the release of $commit again (log: $log)"
if ! scripts/release.sh "${attach[@]}" --out "$work/rebuilt" >"$log" 2>&1; then
  tail -n 15 "$log" | sed 's/^/   | /'
  failed "the release could not be built again (log: $log)"
fi
[ -f "$work/rebuilt/$name" ] ||
  failed "$commit builds $(cd "$work/rebuilt" && echo ControlPanel-*.zip), not $name: check out the release's commit"

same=yes
scripts/release-compare.py "$archive" "$work/rebuilt/$name" || same=""

verified=yes
if [ $signatures -eq 0 ]; then
  echo "the release is not signed: there is no signature to verify"
else
  python3 -m zipfile -e "$archive" "$work/published"
  for program in "${SIGNED_PROGRAMS[@]}"; do
    if report=$(authenticode_verify "$work/published/${name%.zip}/$program" "$ca_file" "$tsa_ca_file"); then
      time_stamp=$(authenticode_time_stamp_of "$report")
      echo "$program: the signature verifies: signed by $(authenticode_signer_of "$report"), ${time_stamp:-not time-stamped}"
    else
      echo "$program: the signature does not verify:"
      # osslsigncode's own lines that say what failed, once each.
      grep -E 'MISMATCH|verification: failed|^[[:space:]]*Error:|mismatch' <<<"$report" |
        awk '!seen[$0]++ { sub(/^[[:space:]]*/, "   | "); print }' || true
      verified=""
    fi
  done
fi

if [ -n "$same" ] && [ -n "$verified" ]; then
  echo "verify-release: same bytes: $name is the release of $commit built again${attach:+ with its signatures, and both signatures verify}"
  exit 0
fi
[ -n "$same" ] || failed "$name is not the same bytes as the release of $commit built again (above: where)"
failed "a signature does not verify (above)"
