#!/bin/bash
# Screenshots of the real window as the Wine tests leave it: every test on
# the real window (or those matching FILTER, a gtest filter) saves its window
# to dist/shots/<suite>.<test>.png. usage: test-shots.sh [FILTER]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
OUT=$(realpath -m "$HERE/../dist/shots")
rm -rf "$OUT" && mkdir -p "$OUT"
PELORIN_SHOT_DIR=$OUT "$HERE/with-wine.sh" "$HERE/wine-run.sh" "$PELORIN_BUILD/win/unit_tests.exe" \
    --gtest_filter="${1:-*win32*:Window*}" >/dev/null || true
for f in "$OUT"/*.bmp; do
    [ -f "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm "$f"
done
echo "screenshots in dist/shots/ ($(ls "$OUT" | wc -l) files)"
