#!/usr/bin/env bash
# data/ is exactly what tools/make_assets makes now: the committed pictures and sounds
# are the generator's, byte for byte. Usage: data_matches_make_assets.sh MAKE_ASSETS
set -euo pipefail
made=$(mktemp -d)
trap 'rm -rf "$made"' EXIT
"$1" "$made" >/dev/null
diff -r data "$made" || { echo "data/ is not what make_assets makes: run it and commit data/" >&2; exit 1; }
