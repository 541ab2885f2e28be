#!/bin/bash
# make dist: dist/pelorin-<version>-win32.zip with both programs, the
# plain-text README (CRLF, for Notepad) and SHA256SUMS over the three.
#   dist.sh WIN_BUILD_DIR
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WIN=$1
VERSION=$(sed -n 's/^#define PELORIN_VERSION_TEXT "\(.*\)"$/\1/p' "$ROOT/src/app/version.h")
NAME=pelorin-$VERSION-win32
STAGE=$WIN/dist-stage/$NAME
rm -rf "$WIN/dist-stage" && mkdir -p "$STAGE" "$ROOT/dist"
cp "$WIN/pelorin.exe" "$WIN/pelorin-cli.exe" "$STAGE/"
sed "s/@VERSION@/$VERSION/; s/\$/\r/" "$ROOT/packaging/README.txt" >"$STAGE/README.txt"
(cd "$STAGE" && sha256sum pelorin.exe pelorin-cli.exe README.txt >SHA256SUMS)
ZIP=$ROOT/dist/$NAME.zip
rm -f "$ZIP"
python3 - "$STAGE" "$ZIP" "$NAME" <<'PY'
import os, sys, zipfile
stage, out, name = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for f in ("pelorin.exe", "pelorin-cli.exe", "README.txt", "SHA256SUMS"):
        z.write(os.path.join(stage, f), f"{name}/{f}")
PY
echo "dist/$NAME.zip ($(stat -c %s "$ZIP") bytes)"
