#!/bin/bash
# Registers (or unregisters) the stand-in Outlook in the project's own Wine
# prefix. It refuses to replace a real Outlook registration.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
EXE=$PELORIN_BUILD/win/tools/outlook-standin/outlook-standin.exe
[ -f "$EXE" ] || exit 0
case "${1:-register}" in
    register) wine "$EXE" /regserver </dev/null ;;
    unregister) wine "$EXE" /unregserver </dev/null ;;
esac
wineserver -w
