#!/usr/bin/env bash
# Builds the fuzzers (preset "fuzz") and runs each for a bounded time:
#   scripts/fuzz.sh                 every fuzzer of tests/fuzz/targets.txt, for its seconds
#   scripts/fuzz.sh --replay        every fuzzer once over its corpus, nothing new tried
#   scripts/fuzz.sh NAME [SECONDS]  one fuzzer (tests/fuzz/NAME_fuzz.cpp), 60 seconds unless told
# Each starts from its seed corpus in tests/fuzz/corpus/NAME (never written to)
# and keeps what it finds in build/fuzz/corpus/NAME. A crash leaves its input
# in build/fuzz/ and makes the script fail. The fuzzers run two at a time
# (each is one process on one core); their output comes out one fuzzer after
# the other, in the order of the list.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
at_once=2

replay=""
if [ "${1:-}" = --replay ]; then
  replay=1
  shift
fi
if [ $# -gt 0 ]; then
  runs="$1 ${2:-60}"
else
  runs=$(grep -v '^#' tests/fuzz/targets.txt)
fi

cmake --preset fuzz >/dev/null
targets=$(echo "$runs" | awk 'NF { printf "%s_fuzz ", $1 }')
# shellcheck disable=SC2086
cmake --build --preset fuzz --target $targets

outputs=$(mktemp -d)
trap 'rm -rf "$outputs"' EXIT
# fuzz NAME SECONDS: one fuzzer, its output in $outputs/NAME.
fuzz() {
  local name=$1 seconds=$2 limit
  limit=(-max_total_time="$seconds")
  [ -n "$replay" ] && limit=(-runs=0)
  mkdir -p "build/fuzz/corpus/$name"
  "build/fuzz/${name}_fuzz" "${limit[@]}" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/${name}-" \
    "build/fuzz/corpus/$name" "tests/fuzz/corpus/$name" </dev/null >"$outputs/$name" 2>&1
}

names=() seconds_of=() failed=0
while read -r name seconds; do
  [ -n "$name" ] || continue
  names+=("$name")
  seconds_of+=("$seconds")
done <<<"$runs"
running=0
for index in "${!names[@]}"; do
  # At most $at_once at a time: the next starts when any of them has ended.
  if [ "$running" -ge "$at_once" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz "${names[$index]}" "${seconds_of[$index]}" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
for index in "${!names[@]}"; do
  name=${names[$index]}
  if [ -n "$replay" ]; then
    echo "== fuzz: $name over its corpus"
  else
    echo "== fuzz: $name for ${seconds_of[$index]} seconds"
  fi
  cat "$outputs/$name"
done
exit $failed
