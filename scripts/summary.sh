#!/bin/bash
# One closing line over the test runs: "tests: N passed, M failed" (CI reads
# it). usage: summary.sh STATUS JUNIT...  STATUS is 0 when every step (each
# ctest run, the fuzz run) exited 0; each JUNIT is a ctest --output-junit
# file. A missing file (its build failed, its step never ran) counts as one
# failed test. Exits non-zero unless STATUS is 0 and nothing failed.
status=${1:?usage: summary.sh STATUS JUNIT...}
shift
passed=0; failed=0
for xml in "$@"; do
    if [ ! -f "$xml" ]; then
        echo "summary: no results in $xml" >&2
        failed=$((failed + 1))
        continue
    fi
    # The <testsuite ...> element's counts (a failure or an error fails a test).
    read -r tests failures errors < <(python3 - "$xml" <<'PY'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
suite = root if root.tag == "testsuite" else root.find("testsuite")
print(*(int(suite.get(k, 0)) for k in ("tests", "failures", "errors")))
PY
    ) || { echo "summary: cannot read $xml" >&2; failed=$((failed + 1)); continue; }
    passed=$((passed + tests - failures - errors)); failed=$((failed + failures + errors))
done
echo "tests: $passed passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
