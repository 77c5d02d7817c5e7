#!/usr/bin/env bash
# Fuzzes the BMP reader: builds its libFuzzer target with clang (address and
# undefined-behaviour sanitizers) straight from the reader's sources, seeds it
# with one file of every layout (and data/*.bmp when present) plus the kept
# regression inputs of tests/bmp_corpus/, and runs it for a bounded time.
# Any finding fails; the input is left in build/bmp_fuzz/ to be kept.
# Usage: bash tests/bmp_fuzz.sh [game-binary, unused] [source-dir]
# FUZZ_SECONDS sets the run time (default 60).
set -euo pipefail
src="$(cd "${2:-$(dirname "$0")/..}" && pwd)"
out="$src/build/bmp_fuzz"
seconds="${FUZZ_SECONDS:-60}"
clang="$(command -v clang++ || true)"
if [ -z "$clang" ]; then
  echo "bmp_fuzz: clang++ is missing (packages clang and libclang-rt-dev)" >&2
  exit 1
fi
cd "$src"
mkdir -p "$out/seeds" "$out/corpus"
"$clang" -std=c++17 -O1 -g -Wall -Wextra -Werror -I"$src" \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -o "$out/bmp_reader_fuzz" tests/fuzz/bmp_reader_fuzz.cpp tests/fuzz/message_stand_in.cpp \
  gfx/bmp_reader.cpp gfx/dib_convert.cpp gfx/file_map.cpp
"$clang" -std=c++17 -O1 -Wall -Wextra -I"$src" -o "$out/make_seeds" tests/fuzz/make_seeds.cpp
"$out/make_seeds" "$out/seeds"
shopt -s nullglob
for image in data/*.bmp; do cp "$image" "$out/seeds/"; done
inputs=("$out/corpus" "$out/seeds")
[ -d tests/bmp_corpus ] && inputs+=(tests/bmp_corpus)
# stderr of the target is closed (-close_fd_mask=2): every refusal prints a
# message; libFuzzer and the sanitizers still report on their own descriptor.
if ! "$out/bmp_reader_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
     -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$out/" "${inputs[@]}"; then
  echo "bmp_fuzz: finding saved in $out/; once mended, keep it in tests/bmp_corpus/" >&2
  exit 1
fi
