#!/bin/bash
# Creates the project's Wine prefix (once) and sets it up for headless runs:
# a crash exits non-zero instead of opening a debugger dialog; unmanaged
# windows so closing one does not wait two seconds; no Mono/Gecko.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
STAMP=$WINEPREFIX/.pelorin-ready
if [ ! -f "$STAMP" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init </dev/null >/dev/null 2>&1 || true
    # COM activation right after wineboot can hang: let the session end first.
    wineserver -w
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f </dev/null >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$STAMP"
fi
