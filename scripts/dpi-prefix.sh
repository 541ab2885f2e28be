#!/bin/bash
# Runs the window's dpi tests at 144 dpi, in a Wine prefix of its own (made
# once from the project's prefix, then reused) whose LogPixels is 144.
# usage: dpi-prefix.sh UNIT_TESTS_EXE
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
BASE=$WINEPREFIX
export WINEPREFIX=$PELORIN_BUILD/win/wineprefix-144
if [ ! -f "$WINEPREFIX/.pelorin-144" ]; then
    [ -f "$BASE/.pelorin-ready" ] || "$HERE/wine-prefix.sh" || exit 1
    rm -rf "$WINEPREFIX" && cp -a "$BASE" "$WINEPREFIX" || exit 1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
        </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.pelorin-144"
fi
PELORIN_EXPECT_DPI=144 wine "$1" --gtest_filter='WindowDpi.Every*'
rc=$?
wineserver -k </dev/null >/dev/null 2>&1 || true
exit $rc
