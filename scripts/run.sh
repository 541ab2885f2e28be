#!/bin/bash
# Starts Pelorin on the user's display. With no display set it runs it under
# Xvfb instead, saves a screenshot of the window to dist/ and stops.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
EXE=$HERE/../dist/pelorin.exe
if [ -z "${DISPLAY:-}" ]; then
    echo "No display is set: running Pelorin under Xvfb for a screenshot."
    exec "$HERE/screenshot.sh" "$HERE/../dist/pelorin.png" "$EXE"
fi
echo "Starting Pelorin (close its window to end)."
exec wine "$EXE"
