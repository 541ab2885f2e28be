#!/bin/bash
# Screenshots of the real window as the Wine tests leave it: every test on
# the real window and the wait for a busy Outlook (or those matching FILTER,
# a gtest filter) saves its window to dist/shots/<suite>.<test>.png.
# usage: test-shots.sh [FILTER]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
OUT=$(realpath -m "$HERE/../dist/shots")
rm -rf "$OUT" && mkdir -p "$OUT"
PELORIN_SHOT_DIR=$OUT "$HERE/with-wine.sh" "$HERE/wine-run.sh" "$PELORIN_BUILD/win/unit_tests.exe" \
    --gtest_filter="${1:-*win32*:Window*:ComAttach.EscapeOrCloseStopsAWaitOnOutlook}" >/dev/null || true
# The window at 144 dpi, in its own prefix (scripts/dpi-prefix.sh).
if [ -z "${1:-}" ]; then
    mkdir -p "$OUT/144"
    PELORIN_SHOT_DIR=$OUT/144 "$HERE/with-wine.sh" "$HERE/dpi-prefix.sh" \
        "$PELORIN_BUILD/win/unit_tests.exe" >/dev/null || true
    for f in "$OUT"/144/*.bmp; do [ -f "$f" ] && mv "$f" "$OUT/144dpi.$(basename "$f")"; done
    rmdir "$OUT/144"
fi
for f in "$OUT"/*.bmp; do
    [ -f "$f" ] || continue
    convert "$f" "${f%.bmp}.png" && rm "$f"
done
echo "screenshots in dist/shots/ ($(ls "$OUT" | wc -l) files)"
