#!/bin/bash
# The stand-in Outlook in the project's own Wine prefix.
#   standin.sh register     register it as Outlook.Application (refuses to
#                           replace a registration that is not its own)
#   standin.sh unregister   remove its registration
#   standin.sh stores       print the stores its profile holds, one a line
#   standin.sh reset        empty its profile, its call log and its settings
#   standin.sh busy MS      the next server start refuses calls for MS
#                           milliseconds, as a starting Outlook does (0: off)
#   standin.sh no-profile on|off   the user has no Outlook profile yet
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
EXE=$PELORIN_BUILD/win/tools/outlook-standin/outlook-standin.exe

# The profile and settings live below the prefix user's local application data.
folder() {
    local local_data
    local_data=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local 2>/dev/null | head -1)
    [ -n "$local_data" ] || { echo "no Wine prefix in $WINEPREFIX (make prefix)" >&2; return 1; }
    echo "$local_data/Pelorin/Outlook stand-in"
}

case "${1:-register}" in
    register|unregister)
        [ -f "$EXE" ] || exit 0
        [ "$1" = register ] && flag=/regserver || flag=/unregserver
        wine "$EXE" "$flag" </dev/null
        wineserver -w ;;
    stores)
        dir=$(folder)
        # The profile is a journal: a line "|path" removes that store.
        [ -f "$dir/stores.txt" ] && awk '
            /^\|/ { k = toupper(substr($0, 2)); for (i in s) if (toupper(s[i]) == k) delete s[i]; next }
            length { s[++n] = $0 }
            END { for (i = 1; i <= n; i++) if (i in s) print s[i] }' "$dir/stores.txt" ;;
    reset)
        # Settings go too, whether or not a profile was ever written.
        dir=$(folder)
        rm -f "$dir"/{stores.txt,calls.log,busy-start-ms,fail-addstore,block-addstore-ms,profile-lock-ms,ignore-addstore,no-profile,profiles,count-calls} ;;
    busy)
        dir=$(folder)
        mkdir -p "$dir"
        if [ "${2:-0}" = 0 ]; then rm -f "$dir/busy-start-ms"; else echo "$2" >"$dir/busy-start-ms"; fi ;;
    no-profile)
        dir=$(folder)
        mkdir -p "$dir"
        if [ "${2:-on}" = on ]; then : >"$dir/no-profile"; else rm -f "$dir/no-profile"; fi ;;
    *)
        echo "usage: $0 register|unregister|stores|reset|busy MS|no-profile on|off" >&2
        exit 2 ;;
esac
exit 0
