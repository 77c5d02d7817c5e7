#!/usr/bin/env bash
# Fuzzes the BMP reader for FUZZ_SECONDS (default 20): libFuzzer with address and undefined-
# behaviour sanitizers, seeded with the reader test's table, data/*.bmp and the kept findings
# of tests/bmp_corpus/. Any finding fails and is left beside the target.
# Usage: bash tests/bmp_fuzz.sh FUZZ-TARGET IN-PROCESS-TESTS, from the source folder.
set -euo pipefail
target=$1 out="$1.run"
rm -rf "$out/seeds" && mkdir -p "$out/seeds" "$out/corpus"
BLOCKFALL_BMP_SEEDS="$out/seeds" "$2" --gtest_filter='Reader.*' >/dev/null ||
  { echo "bmp_fuzz: the reader's tests, which write the seeds, fail" >&2; exit 1; }
cp data/*.bmp tests/bmp_corpus/* "$out/seeds/"
"$target" -max_total_time="${FUZZ_SECONDS:-20}" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/" "$out/corpus" "$out/seeds" || { echo "bmp_fuzz: finding in $out/" >&2; exit 1; }
