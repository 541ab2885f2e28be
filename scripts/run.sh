#!/bin/bash
# Starts Pelorin on the user's display. With no display set it runs it under
# Xvfb instead: a screenshot of the window as it opens (dist/pelorin.png),
# then the demo of the main job (dist/demo/), and stops.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
EXE=$HERE/../dist/$(product EXE_NAME)
if [ -z "${DISPLAY:-}" ]; then
    echo "No display is set: running Pelorin under Xvfb."
    "$HERE/screenshot.sh" "$HERE/../dist/pelorin.png" "$EXE"
    exec "$HERE/demo.sh"
fi
echo "Starting Pelorin (close its window to end)."
exec wine "$EXE"
