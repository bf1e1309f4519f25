#!/usr/bin/env bash
# The include check's own test: scripts/check-includes.sh run on small trees
# of units made in a temporary folder, one for each case below, must fail
# and name the loop, or pass in silence where there is none.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
trees=$(mktemp -d)
trap 'rm -rf "$trees"' EXIT

# A case: its name, the loop the check must name (none: it must pass), and
# its files as FILE=HEADER,HEADER... (each header of foundation/core).
cases=(
  "three units in a loop|foundation/core/alpha -> foundation/core/beta -> foundation/core/gamma -> foundation/core/alpha|alpha.h=beta.h beta_win32.cpp=gamma.h gamma.cpp=alpha.h"
  "two units in a loop|foundation/core/alpha -> foundation/core/beta -> foundation/core/alpha|alpha.h=beta.h beta.cpp=alpha.h gamma.cpp=alpha.h"
  "four units in a loop beside one outside it|foundation/core/beta -> foundation/core/delta -> foundation/core/epsilon -> foundation/core/gamma -> foundation/core/beta|alpha.h=beta.h beta.cpp=delta.h delta.h=epsilon.h epsilon_win32.cpp=gamma.h gamma.h=beta.h"
  "three units in a row|none|alpha.h=beta.h beta_win32.cpp=gamma.h gamma.cpp="
  "a unit's header, source and Windows side|none|alpha.h= alpha.cpp=alpha.h alpha_win32.cpp=alpha.h,beta.h beta.h="
)

failures=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name loop files <<<"$entry"
  tree="$trees/${name// /_}"
  mkdir -p "$tree/foundation/core"
  for file in $files; do
    {
      [[ $file == *.h=* ]] && echo "#pragma once"
      IFS=, read -r -a headers <<<"${file#*=}"
      for header in "${headers[@]}"; do echo "#include \"foundation/core/$header\""; done
    } >"$tree/foundation/core/${file%%=*}"
  done
  status=0
  output=$("$root/scripts/check-includes.sh" "$tree" 2>&1) || status=$?
  if [ "$loop" = none ]; then
    if [ $status -ne 0 ] || [ -n "$output" ]; then
      echo "FAILED: $name: the check failed (exit status $status): $output"
      failures=$((failures + 1))
      continue
    fi
  elif [ $status -ne 1 ] || ! grep -qF "units include each other in a loop: $loop" <<<"$output"; then
    echo "FAILED: $name: the check did not name the loop $loop (exit status $status): $output"
    failures=$((failures + 1))
    continue
  fi
  echo "passed: $name${output:+: $output}"
done
echo "$(( ${#cases[@]} - failures )) passed, $failures failed"
[ $failures -eq 0 ]
