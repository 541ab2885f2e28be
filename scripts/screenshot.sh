#!/bin/bash
# A PNG of the main window as it opens: the program under a private Xvfb,
# the window cropped out of the screen. usage: screenshot.sh OUT.png [EXE]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
OUT=$(realpath -m "${1:-dist/pelorin.png}")
EXE=$(realpath -m "${2:-$HERE/../dist/$(product EXE_NAME)}")
[ -f "$EXE" ] || { echo "screenshot: $EXE is missing (make exe)" >&2; exit 1; }
if [ -z "${PELORIN_SHOT_INNER:-}" ]; then
    export PELORIN_SHOT_INNER=1
    unset DISPLAY   # always a private screen: nothing of the user's in the picture
    exec "$HERE/with-wine.sh" bash "$0" "$OUT" "$EXE"
fi
CAPTION=$(product CAPTION)
mkdir -p "$(dirname "$OUT")"
wine "$EXE" </dev/null >/dev/null 2>&1 &
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "^$CAPTION\$" | head -1)
[ -n "$wid" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep 1   # let it paint
import -window "$wid" "$OUT"
wine taskkill /im "$(basename "$EXE")" </dev/null >/dev/null 2>&1 || true
echo "screenshot: $OUT"
