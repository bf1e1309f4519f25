#!/usr/bin/env bash
# Shows that the release is reproducible: copies the sources of this checkout
# (the files git tracks or would track) into two temporary folders, runs
# scripts/release.sh in each, one after the other, and compares the programs
# (ControlPanel.exe and ControlPanel.com), the archives and their sums byte
# for byte. Fails, naming what differs, when
# they are not the same. Then, on the same two builds, that a signed release
# stays reproducible (tests/tools/signed_release_test.py): the first folder
# signs its release with a throw-away identity and time stamp, and
# scripts/verify-release.sh in the second gets the same bytes from its build
# and the published signatures. Prints one closing line for each.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

copy_sources() {
  mkdir -p "$1"
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
      # (A file deleted but not yet committed is not copied.)
      if [ -e "$file" ]; then cp -P --parents -- "$file" "$1/"; fi
    done
}

for build in first second; do
  copy_sources "$work/$build"
  echo "== release in $work/$build"
  "$work/$build/scripts/release.sh"
  # Another time of day for the second build: a time stamp would show.
  sleep 2
done

different=0
for file in build/release/ControlPanel.exe build/release/ControlPanel.com $(cd "$work/first" && ls dist/*); do
  if ! cmp -- "$work/first/$file" "$work/second/$file"; then
    echo "differs: $file"
    different=1
  fi
done
[ "$different" = 0 ] || exit 1
program=$(sha256sum <"$work/first/build/release/ControlPanel.exe" | cut -d' ' -f1)
companion=$(sha256sum <"$work/first/build/release/ControlPanel.com" | cut -d' ' -f1)
reproduced="the same bytes from two folders: ControlPanel.exe (sha256 $program), ControlPanel.com (sha256 $companion)"
reproduced+=" and $(cd "$work/first" && echo dist/*)"
echo "$reproduced"

echo "== a signed release of $work/first, built again and verified in $work/second"
/usr/bin/python3 tests/tools/signed_release_test.py "$work/first" "$work/second"
echo "$reproduced"
echo "signed with a throw-away identity and time stamp: the same bytes again from the second build and the detached signatures, and both signatures verify"
