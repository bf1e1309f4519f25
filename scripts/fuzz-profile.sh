#!/usr/bin/env bash
# Builds the profile reader's fuzzer (preset "fuzz") and runs it for a
# bounded time, 60 seconds unless told otherwise:
#   scripts/fuzz-profile.sh [SECONDS]
# It starts from the seed corpus in tests/fuzz/corpus (never written to) and
# keeps what it finds in build/fuzz/corpus. A crash leaves its input in
# build/fuzz/ and makes the script fail.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target profile_text_fuzz
mkdir -p build/fuzz/corpus
build/fuzz/profile_text_fuzz -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/ \
  build/fuzz/corpus tests/fuzz/corpus
