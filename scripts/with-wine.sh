#!/bin/bash
# Runs a command with a display and a warm Wine session: an Xvfb of our own
# when no display is set, and Wine's background services started outside the
# command's pipes (otherwise ctest waits for them after every test).
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
XVFB_PID=
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 91 140); do
        [ -e /tmp/.X$n-lock ] || { D=:$n; break; }
    done
    Xvfb "$D" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=$D
    for _ in $(seq 50); do xdpyinfo -display "$D" >/dev/null 2>&1 && break; sleep 0.1; done
fi
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1 || true
[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
exit $rc
