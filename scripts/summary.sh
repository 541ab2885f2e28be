#!/bin/bash
# One closing line over every ctest run named on the command line.
passed=0; failed=0
for dir in "$@"; do
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$dir/ctest.log" | tail -1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
done
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
