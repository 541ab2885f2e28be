#!/bin/bash
# ctest's emulator for the cross-built test programs: run one exe under Wine
# in the project's prefix and hand back its exit code.
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
