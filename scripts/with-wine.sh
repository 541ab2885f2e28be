#!/bin/bash
# Runs a command with a display and a warm Wine session: under xvfb-run when
# no display is set, and with Wine's background services started outside the
# command's pipes (otherwise ctest waits for them after every test). The
# session ends with the command.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1 || true
exit $rc
