#!/usr/bin/env python3
"""scripts/summary.sh, the last line CI reads: counts come from ctest's JUnit
files, a run without results counts as a failure, and the exit status is
non-zero whenever a step failed or a test did.

Usage: summary_test.py SUMMARY_SH  (exit 1 and one line per wrong case)."""
import pathlib
import subprocess
import sys
import tempfile

PASS = '<testsuites><testsuite name="x" tests="5" failures="0" errors="0" skipped="1"/></testsuites>'
FAIL = '<testsuite name="x" tests="4" failures="1" errors="1"/>'

# (step status, JUnit files (None: missing), expected last line, expected exit 0?)
CASES = [
    (0, [PASS, PASS], "tests: 10 passed, 0 failed", True),
    (1, [PASS, FAIL], "tests: 7 passed, 2 failed", False),
    (0, [PASS, None], "tests: 5 passed, 1 failed", False),  # a build that never ran its tests
    (1, [PASS], "tests: 5 passed, 0 failed", False),        # the fuzz step failed
    (0, ["not xml"], "tests: 0 passed, 1 failed", False),
]


def main() -> int:
    script = sys.argv[1]
    wrong = 0
    with tempfile.TemporaryDirectory() as tmp:
        for number, (status, files, line, ok) in enumerate(CASES):
            paths = []
            for i, text in enumerate(files):
                path = pathlib.Path(tmp, f"{number}-{i}.xml")
                if text is not None:
                    path.write_text(text)
                paths.append(str(path))
            run = subprocess.run(["bash", script, str(status), *paths],
                                 capture_output=True, text=True)
            last = run.stdout.strip().splitlines()[-1] if run.stdout.strip() else ""
            if last != line or (run.returncode == 0) != ok:
                print(f"case {number}: got {last!r}, exit {run.returncode}; "
                      f"want {line!r}, {'0' if ok else 'non-zero'}")
                wrong += 1
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
