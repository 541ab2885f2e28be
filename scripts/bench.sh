#!/bin/bash
# The scan benchmarks. Usage: scripts/bench.sh native NATIVE_BUILD
#                         or: scripts/bench.sh win WIN_BUILD
# native: Add Folder's scan (scan_bench) against `find -iname '*.pst'` and
#   `fd` (fd-find, its default threads) with hyperfine, warm cache, on the
#   synthetic tree (200,000 files in 21,000 folders, one in ten a ".pst") and
#   on /usr; the tree as a simulated share (1 ms more per folder listing),
#   one folder at a time against listing ahead; and peak memory beside
#   find's. The last line is "scan/find ratio: R" for the synthetic tree.
# win: Add Folder on the real window under Wine over the same tree.
set -euo pipefail
MODE=${1:?usage: bench.sh native|win BUILD_DIR}
BUILD=$(cd "${2:?usage: bench.sh native|win BUILD_DIR}" && pwd)
SCRIPTS=$(cd "$(dirname "$0")" && pwd)
RUNS=${RUNS:-7}
TREE=${BENCH_TREE:-$(dirname "$BUILD")/bench-tree}
STAMP=$TREE.done
FOLDERS=21000
FILES=200000

# The tree is built once per build folder; the stamp records its shape.
make_tree() {
    [ "$(cat "$STAMP" 2>/dev/null)" = "$FOLDERS $FILES" ] && return
    echo "building the tree in $TREE ($FILES files, $FOLDERS folders)..."
    rm -rf "$TREE" "$STAMP"
    python3 - "$TREE" "$FOLDERS" "$FILES" <<'PY'
import os, sys
root, folders, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
# Root, 20 folders under it, 20 under each of those, the rest spread over
# the third level: a shape like a mail archive share.
paths = [root]
level1 = [os.path.join(root, "Dept %02d" % i) for i in range(20)]
level2 = [os.path.join(p, "User %02d" % j) for p in level1 for j in range(20)]
paths += level1 + level2
k = 0
while len(paths) < folders:
    parent = level2[k % len(level2)]
    paths.append(os.path.join(parent, "Archive %03d" % (k // len(level2))))
    k += 1
for p in paths:
    os.makedirs(p, exist_ok=True)
for i in range(files):
    ext = (".PST" if i % 20 == 0 else ".pst") if i % 10 == 0 else ".msg"
    name = os.path.join(paths[i % folders], "item %06d%s" % (i, ext))
    os.close(os.open(name, os.O_CREAT | os.O_WRONLY, 0o644))
PY
    echo "$FOLDERS $FILES" > "$STAMP"
}
make_tree

if [ "$MODE" = win ]; then
    EXE=$BUILD/add_folder_bench.exe
    [ -f "$EXE" ] || { echo "no $EXE: build the Windows tree first" >&2; exit 1; }
    WINTREE="Z:$(tr / '\\' <<<"$TREE")"
    cd "$BUILD" && exec "$SCRIPTS/with-wine.sh" wine "$EXE" "$WINTREE"
fi

BENCH=$BUILD/scan_bench
[ -x "$BENCH" ] || { echo "no $BENCH: build the native tree first" >&2; exit 1; }
FD=$(command -v fdfind || command -v fd)
JSON=$(mktemp); trap 'rm -f "$JSON" "$JSON".*' EXIT

# Median wall times (ms) of scan, find and fd on one root, after checking
# that all three find the same files.
compare() {
    local root=$1 scan find fd
    scan=$("$BENCH" "$root" | sed -n 's/.*pst=\([0-9]*\).*/\1/p')
    find=$(find "$root" -iname '*.pst' 2>/dev/null | wc -l)
    fd=$("$FD" -u -i -g '*.pst' "$root" 2>/dev/null | wc -l)
    [ "$scan" = "$find" ] && [ "$fd" = "$find" ] ||
        { echo "mismatch on $root: scan $scan, find $find, fd $fd" >&2; exit 1; }
    # Three rounds, the commands in turn within each: a few busy seconds on
    # the machine then weigh on all three alike.
    for round in 1 2 3; do
        hyperfine -N --warmup 1 --runs "$RUNS" -i --export-json "$JSON.$round" \
            "$BENCH $root" "find $root -iname *.pst" "$FD -u -i -g *.pst $root" >/dev/null
    done
    python3 - "$JSON" "$root" "$scan" <<'PY'
import json, statistics, sys
rounds = [json.load(open(f"{sys.argv[1]}.{n}"))["results"] for n in (1, 2, 3)]
r = [statistics.median(t * 1000 for rnd in rounds for t in rnd[i]["times"]) for i in range(3)]
print(f"{sys.argv[2]} ({sys.argv[3]} .pst): median scan {r[0]:.1f} ms, find {r[1]:.1f} ms, fd {r[2]:.1f} ms")
print(f"scan/fd ratio: {r[0] / r[2]:.2f}")
print(f"scan/find ratio: {r[0] / r[1]:.2f}")
PY
}

peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'; }
ms_of() { sed -n 's/.*time_ms=\([0-9.]*\).*/\1/p'; }

echo "runs: 3 rounds of $RUNS per command (hyperfine, warm cache); listing threads: $("$BENCH" "$TREE" | sed -n 's/.*threads=//p')"
compare /usr
one=$("$BENCH" "$TREE" 1 --threads 0 --delay-ms 1 | ms_of)
ahead=$("$BENCH" "$TREE" 1 --delay-ms 1 | ms_of)
echo "simulated share (1 ms per folder listing): one at a time ${one} ms, listed ahead ${ahead} ms"
echo "peak memory: scan $(peak "$BENCH" "$TREE") KiB, find $(peak find "$TREE" -iname '*.pst') KiB"
compare "$TREE"
