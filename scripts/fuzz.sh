#!/usr/bin/env bash
# Builds the fuzzers (preset "fuzz") and runs each for a bounded time:
#   scripts/fuzz.sh                 every fuzzer of tests/fuzz/targets.txt, for its seconds
#   scripts/fuzz.sh NAME [SECONDS]  one fuzzer (tests/fuzz/NAME_fuzz.cpp), 60 seconds unless told
# Each starts from its seed corpus in tests/fuzz/corpus/NAME (never written to)
# and keeps what it finds in build/fuzz/corpus/NAME. A crash leaves its input
# in build/fuzz/ and makes the script fail.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

if [ $# -gt 0 ]; then
  runs="$1 ${2:-60}"
else
  runs=$(grep -v '^#' tests/fuzz/targets.txt)
fi

cmake --preset fuzz >/dev/null
targets=$(echo "$runs" | awk 'NF { printf "%s_fuzz ", $1 }')
# shellcheck disable=SC2086
cmake --build --preset fuzz --target $targets

echo "$runs" | while read -r name seconds; do
  [ -n "$name" ] || continue
  echo "== fuzz: $name for $seconds seconds"
  mkdir -p "build/fuzz/corpus/$name"
  "build/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/${name}-" \
    "build/fuzz/corpus/$name" "tests/fuzz/corpus/$name" </dev/null
done
