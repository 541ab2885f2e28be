#!/bin/bash
# Runs every fuzz target for a few seconds over its corpus in tests/fuzz/corpus/<target>.
# New inputs go to a scratch folder, so the repository's corpus stays as committed.
set -euo pipefail
BUILD=$1; SECONDS_EACH=${2:-10}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for src in "$ROOT"/tests/fuzz/*.cpp; do
    name=$(basename "$src" .cpp)
    scratch=$(mktemp -d)
    corpus=$ROOT/tests/fuzz/corpus/$name
    mkdir -p "$corpus"
    echo "fuzz: $name for ${SECONDS_EACH}s"
    "$BUILD/$name" -max_total_time="$SECONDS_EACH" -print_final_stats=0 "$scratch" "$corpus" 2>&1 | tail -2
    rm -rf "$scratch"
done
