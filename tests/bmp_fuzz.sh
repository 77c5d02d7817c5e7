#!/usr/bin/env bash
# Checks that data/ is what tools/make_assets makes now, then fuzzes the BMP reader for
# FUZZ_SECONDS (default 20): libFuzzer with address and undefined-behaviour sanitizers, built
# with clang++ from the reader's sources, seeded with the reader test's table, data/*.bmp and
# the kept findings of tests/bmp_corpus/. Any finding fails and is left in <build>/bmp_fuzz/.
# Usage: bash tests/bmp_fuzz.sh <game binary in the build folder> <source folder>
set -euo pipefail
build="$(cd "$(dirname "$1")" && pwd)" out="$build/bmp_fuzz"
cd "${2:-$(dirname "$0")/..}"
rm -rf "$out/seeds" "$out/made" && mkdir -p "$out/seeds" "$out/made" "$out/corpus"
"$build/tools/make_assets" "$out/made" >/dev/null
diff -r data "$out/made" || { echo "bmp_fuzz: data/ is not what make_assets makes" >&2; exit 1; }
BLOCKFALL_BMP_SEEDS="$out/seeds" "$build/tests/blockfall_tests" --gtest_filter='Reader.*' >/dev/null ||
  { echo "bmp_fuzz: the reader's tests, which write the seeds, fail" >&2; exit 1; }
cp data/*.bmp tests/bmp_corpus/* "$out/seeds/"
clang++ -std=c++17 -O1 -g -Wall -Wextra -Werror -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -o "$out/bmp_reader_fuzz" tests/fuzz/bmp_reader_fuzz.cpp gfx/bmp_reader.cpp gfx/dib_convert.cpp gfx/file_map.cpp
"$out/bmp_reader_fuzz" -max_total_time="${FUZZ_SECONDS:-20}" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/" "$out/corpus" "$out/seeds" || { echo "bmp_fuzz: finding in $out/" >&2; exit 1; }
