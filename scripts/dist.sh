#!/bin/bash
# make dist: in dist/ (DIST_DIR=dir elsewhere)
#   pelorin-<version>-win32.zip  both programs, the plain-text README (CRLF,
#                                for Notepad) and SHA256SUMS over the three
#   pelorin-<version>-win32.msi  the Windows Installer package (build-msi.sh)
#   SHA256SUMS                   over the zip and the package, checked
# With SIGN_PKCS12=FILE and SIGN_PASSWORD_FILE=FILE both programs are signed
# before they go into the zip and the package, and the package itself after;
# SIGN_TIMESTAMP_URL adds an RFC 3161 time stamp. Only options osslsigncode
# 2.5 (Debian 12) knows are used.
#   dist.sh WIN_BUILD_DIR
set -Eeuo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WIN=$1
OUT=${DIST_DIR:-$ROOT/dist}
VERSION=$(sed -n 's/^#define PELORIN_VERSION_TEXT "\(.*\)"$/\1/p' "$ROOT/src/app/version.h")
HELP_URL=$(sed -n 's/^#define PELORIN_HELP_URL "\(.*\)"$/\1/p' "$ROOT/src/app/version.h")
NAME=pelorin-$VERSION-win32
STAGE=$WIN/dist-stage/$NAME

SIGN_PKCS12=${SIGN_PKCS12:-}
SIGN_PASSWORD_FILE=${SIGN_PASSWORD_FILE:-}
if [ -n "$SIGN_PKCS12$SIGN_PASSWORD_FILE" ]; then
    [ -n "$SIGN_PKCS12" ] && [ -n "$SIGN_PASSWORD_FILE" ] ||
        { echo "dist: signing needs both SIGN_PKCS12 and SIGN_PASSWORD_FILE" >&2; exit 2; }
    for f in "$SIGN_PKCS12" "$SIGN_PASSWORD_FILE"; do
        [ -r "$f" ] || { echo "dist: cannot read $f" >&2; exit 2; }
    done
    command -v osslsigncode >/dev/null ||
        { echo "dist: osslsigncode is not installed (make deps installs it)" >&2; exit 1; }
else
    echo "dist: not signed (give SIGN_PKCS12 and SIGN_PASSWORD_FILE to sign)"
fi

# Signs FILE in place, SHA-256 Authenticode; a failure stops the release.
sign() {
    [ -n "$SIGN_PKCS12" ] || return 0
    local stamp=()
    [ -z "${SIGN_TIMESTAMP_URL:-}" ] || stamp=(-ts "$SIGN_TIMESTAMP_URL")
    rm -f "$1.signed"
    osslsigncode sign -pkcs12 "$SIGN_PKCS12" -readpass "$SIGN_PASSWORD_FILE" -h sha256 \
        -n "Pelorin" -i "$HELP_URL" "${stamp[@]}" -in "$1" -out "$1.signed" >/dev/null
    mv -f "$1.signed" "$1"
}

rm -rf "$WIN/dist-stage" && mkdir -p "$STAGE" "$OUT"
cp "$WIN/pelorin.exe" "$WIN/pelorin-cli.exe" "$STAGE/"
sign "$STAGE/pelorin.exe"
sign "$STAGE/pelorin-cli.exe"
sed "s/@VERSION@/$VERSION/g; s/\$/\r/" "$ROOT/packaging/README.txt" >"$STAGE/README.txt"
(cd "$STAGE" && sha256sum pelorin.exe pelorin-cli.exe README.txt >SHA256SUMS)
ZIP=$OUT/$NAME.zip
MSI=$OUT/$NAME.msi
rm -f "$ZIP" "$MSI" "$OUT/SHA256SUMS"
# A release that fails part way (a refused signature) leaves none of its files.
trap 'rm -f "$ZIP" "$MSI" "$OUT/SHA256SUMS"' ERR
python3 - "$STAGE" "$ZIP" "$NAME" <<'PY'
import os, sys, zipfile
stage, out, name = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for f in ("pelorin.exe", "pelorin-cli.exe", "README.txt", "SHA256SUMS"):
        z.write(os.path.join(stage, f), f"{name}/{f}")
PY

"$ROOT/scripts/build-msi.sh" "$STAGE" "$MSI"
sign "$MSI"
(cd "$OUT" && sha256sum "$NAME.zip" "$NAME.msi" >SHA256SUMS && sha256sum --quiet -c SHA256SUMS)
for f in "$ZIP" "$MSI" "$OUT/SHA256SUMS"; do
    echo "${f#"$ROOT"/} ($(stat -c %s "$f") bytes)"
done
