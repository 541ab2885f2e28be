#!/bin/bash
# The scan benchmark: scan_bench against `find -iname '*.pst'` on the same
# synthetic tree (200,000 files in 21,000 folders, one file in ten a ".pst"),
# warm cache, several runs each, medians. Usage: scripts/bench.sh NATIVE_BUILD
# The last line is "scan/find ratio: R" (scan median / find median).
set -euo pipefail
NATIVE=$(cd "${1:?usage: bench.sh NATIVE_BUILD_DIR}" && pwd)
BENCH=$NATIVE/scan_bench
RUNS=${RUNS:-7}
TREE=$NATIVE/bench-tree
STAMP=$NATIVE/bench-tree.done
FOLDERS=21000
FILES=200000
[ -x "$BENCH" ] || { echo "no $BENCH: build the native tree first" >&2; exit 1; }

# The tree is built once per build folder; the stamp records its shape.
if [ "$(cat "$STAMP" 2>/dev/null)" != "$FOLDERS $FILES" ]; then
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
fi

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# Warm the cache and check that both count the same files.
expected=$(find "$TREE" -iname '*.pst' | wc -l)
line=$("$BENCH" "$TREE" | tail -1)
echo "scan_bench: $line"
got=$(sed -n 's/.*pst=\([0-9]*\).*/\1/p' <<<"$line")
[ "$got" = "$expected" ] || { echo "mismatch: scan found $got .pst files, find $expected" >&2; exit 1; }

# Wall time decides; CPU time (user + system) is shown too, since on a busy
# machine the wall time of either side also counts waiting for a core.
cpu_ms() { /usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%d", ($1+$2)*1000}'; }
scan_ns=(); find_ns=(); scan_cpu=(); find_cpu=()
for _ in $(seq "$RUNS"); do
    t=$(now); "$BENCH" "$TREE" >/dev/null; scan_ns+=($(( $(now) - t )))
    t=$(now); find "$TREE" -iname '*.pst' >/dev/null; find_ns+=($(( $(now) - t )))
    scan_cpu+=($(cpu_ms "$BENCH" "$TREE"))
    find_cpu+=($(cpu_ms find "$TREE" -iname '*.pst'))
done
scan_med=$(printf '%s\n' "${scan_ns[@]}" | median)
find_med=$(printf '%s\n' "${find_ns[@]}" | median)
scan_cpu_med=$(printf '%s\n' "${scan_cpu[@]}" | median)
find_cpu_med=$(printf '%s\n' "${find_cpu[@]}" | median)

peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'; }
echo "runs: $RUNS (wall time per process, warm cache)"
awk -v s="$scan_med" -v f="$find_med" 'BEGIN {printf "median scan: %.1f ms   median find: %.1f ms\n", s/1e6, f/1e6}'
echo "median CPU time: scan $scan_cpu_med ms   find $find_cpu_med ms"
echo "peak memory: scan $(peak "$BENCH" "$TREE") KiB, find $(peak find "$TREE" -iname '*.pst') KiB"
awk -v s="$scan_med" -v f="$find_med" 'BEGIN {printf "scan/find ratio: %.2f\n", s/f}'
