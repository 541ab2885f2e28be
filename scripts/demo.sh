#!/bin/bash
# The demo: the real window under Wine, driven from outside like a user would.
# Run 1 picks four sample PSTs (one damaged) in the open-file dialog, ticks
# Select All and presses "Add PSTs to Outlook  >": the run stops at the
# damaged file. Run 2 picks the valid files of the same folder, against an Outlook
# that refuses calls for its first 2 s (a busy start): the run waits it out,
# the file run 1 attached shows "Already in Outlook", the others "Done".
# Screenshots go to dist/demo/; the status column, the message and the
# stand-in Outlook's stores are printed.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine-env.sh"
# A display and a warm Wine session (an Xvfb of our own when none is set).
if [ -z "${PELORIN_DEMO_INNER:-}" ]; then
    export PELORIN_DEMO_INNER=1
    exec "$HERE/with-wine.sh" bash "$0" "$@"
fi

ROOT=$(cd "$HERE/.." && pwd)
WIN=$PELORIN_BUILD/win
EXE_NAME=$(product EXE_NAME)
EXE=$ROOT/dist/$EXE_NAME
[ -f "$EXE" ] || EXE=$WIN/$EXE_NAME
PEEK=$WIN/tools/outlook-standin/list-peek.exe
OUT=$ROOT/dist/demo
CAPTION=$(product CAPTION)
TITLE=$(product PRODUCT_NAME)              # the message boxes' title
DIALOG='Select Web Pages'
SAMPLES=$WINEPREFIX/drive_c/PelorinDemo   # C:\PelorinDemo inside the prefix
CLIENT_W=600 CLIENT_H=410                 # the main window's client area

for f in "$EXE" "$PEEK"; do
    [ -f "$f" ] || { echo "demo: $f is missing (make win)" >&2; exit 1; }
done
rm -rf "$SAMPLES" "$OUT"
mkdir -p "$OUT"
python3 "$HERE/make-sample-psts.py" "$SAMPLES/mixed" \
    "Archive.pst:unicode" "damaged.pst:damaged" "Mail 2019.pst:ansi" "Projects.pst:unicode36"
"$HERE/standin.sh" reset

# Waits until a window with this exact title is visible; prints its id.
window() { timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    echo "demo: '$1' did not close" >&2
    return 1
}
shot() { import -window root "$OUT/$1"; echo "  screenshot dist/demo/$1"; }

# The window is not managed: its X window holds Wine's own frame and title
# bar around the client area, so client coordinates are offset by those.
start() {
    wine "$EXE" </dev/null >/dev/null 2>&1 &
    APP_WID=$(window "$CAPTION")
    eval "$(xdotool getwindowgeometry --shell "$APP_WID")"
    BORDER=$(( (WIDTH - CLIENT_W) / 2 ))
    TOP=$(( HEIGHT - CLIENT_H - BORDER ))
    sleep 0.5
}
click() {  # client x, y of the main window
    xdotool mousemove $(( X + BORDER + $1 )) $(( Y + TOP + $2 )) click 1
    sleep 0.3
}
stop() {
    wine taskkill /im "$EXE_NAME" </dev/null >/dev/null 2>&1 || true
    gone "$CAPTION"
    # (no `wineserver -w` here: the warm session's services never end)
    for _ in $(seq 100); do pgrep -f "${EXE_NAME//./\\.}" >/dev/null || break; sleep 0.1; done
}

run() {  # label, folder under C:\PelorinDemo, names to pick
    local label=$1 folder=$2
    shift 2
    local names=""
    for n in "$@"; do names+="\"$n\" "; done
    echo "== $label: C:\\PelorinDemo\\$folder"
    start
    shot "$label-1-start.png"

    click 52 388                                     # Add File
    local dlg
    dlg=$(window "$DIALOG")
    xdotool windowfocus "$dlg" 2>/dev/null || true
    sleep 0.5
    # Focus starts in the file-name box: a folder + Enter opens it, then
    # the quoted names + Enter pick them.
    xdotool type --delay 30 "C:\\PelorinDemo\\$folder"
    xdotool key Return
    sleep 0.7
    xdotool type --delay 30 "$names"
    xdotool key Return
    gone "$DIALOG"
    sleep 0.5
    shot "$label-2-list.png"

    click 20 144                                     # Select All
    click 524 388                                    # Add PSTs to Outlook  >
    local box
    box=$(window "$TITLE")
    sleep 0.5
    shot "$label-3-result.png"
    echo "-- message:"
    wine "$PEEK" /message "$TITLE" </dev/null 2>/dev/null | sed 's/^/   /'
    echo "-- list (tick, path | size KB | status):"
    wine "$PEEK" "$CAPTION" </dev/null 2>/dev/null | sed 's/^/   /'
    echo "-- the stand-in Outlook's stores:"
    "$HERE/standin.sh" stores | sed 's/^/   /'
    xdotool windowfocus "$box" 2>/dev/null || true
    xdotool key Return
    gone "$TITLE"
    stop
}

run run1 mixed "Archive.pst" "damaged.pst" "Mail 2019.pst" "Projects.pst"
"$HERE/standin.sh" busy 2000
run run2 mixed "Archive.pst" "Mail 2019.pst" "Projects.pst"
"$HERE/standin.sh" busy 0
echo "Screenshots in dist/demo/"
