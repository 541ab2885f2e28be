#!/bin/bash
# ctest's emulator for the cross-built test programs: run one exe under Wine
# in the project's prefix and hand back its exit code (named when not 0, so a
# crash after the last test line still says how the program ended).
source "$(dirname "$0")/wine-env.sh"
wine "$@"
rc=$?
[ "$rc" = 0 ] || echo "wine-run: $(basename "$1") ended with exit code $rc" >&2
exit $rc
