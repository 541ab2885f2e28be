#!/bin/bash
# The Windows Installer package from a staged release folder (pelorin.exe,
# pelorin-cli.exe, README.txt), with wixl from Debian's msitools.
#   build-msi.sh STAGE_DIR OUT.msi
# The ProductVersion is version.h's major.minor.build (Windows Installer
# ignores a fourth field); PRODUCT_VERSION=a.b.c overrides it (the upgrade
# tests build a newer package so). The ProductCode is a name-based UUID made
# from the ProductVersion: the same for every build of one version.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
STAGE=$(cd "$1" && pwd)
OUT=$(realpath -m "$2")
mkdir -p "$(dirname "$OUT")"
command -v wixl >/dev/null || { echo "wixl is not installed (make deps installs msitools and wixl)" >&2; exit 1; }
define() { sed -n "s/^#define PELORIN_$1 \"\{0,1\}\([^\"]*\)\"\{0,1\}\$/\1/p" "$ROOT/src/app/version.h"; }
VERSION=${PRODUCT_VERSION:-$(define VERSION_MAJOR).$(define VERSION_MINOR).$(define VERSION_BUILD)}
[[ $VERSION =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "build-msi: bad ProductVersion '$VERSION'" >&2; exit 2; }
HELP_URL=$(define HELP_URL)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# The window's icon as an .ico file, from the images the resource script
# embeds: the group directory names each image by id, an .ico by offset.
python3 - "$ROOT/src/app/res" "$WORK/pelorin.ico" <<'PY'
import os, struct, sys
res, out = sys.argv[1:]
grp = open(os.path.join(res, "app.grp"), "rb").read()
count = struct.unpack_from("<H", grp, 4)[0]
entries, images = [], []
offset = 6 + 16 * count
for i in range(count):
    fields = struct.unpack_from("<BBBBHHIH", grp, 6 + 14 * i)
    image = open(os.path.join(res, "icon%d.bin" % fields[7]), "rb").read()
    entries.append(struct.pack("<BBBBHHII", *fields[:6], len(image), offset))
    images.append(image)
    offset += len(image)
with open(out, "wb") as f:
    f.write(grp[:6] + b"".join(entries) + b"".join(images))
PY

PRODUCT_CODE=$(python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID("2be44c9b-d66e-4466-8a08-40a67d72854b"), "Pelorin " + sys.argv[1])).upper())' "$VERSION")
# wixl takes source files by relative path only.
ln -s "$STAGE" "$WORK/stage"
cd "$WORK"
rm -f "$OUT"
wixl -o "$OUT" \
    -D ProductCode="$PRODUCT_CODE" \
    -D ProductVersion="$VERSION" \
    -D VersionText="$(define VERSION_TEXT)" \
    -D ProductName="$(define PRODUCT_NAME)" \
    -D Manufacturer="$(define COMPANY_NAME)" \
    -D Description="$(define FILE_DESCRIPTION)" \
    -D HelpLink="$(echo "$HELP_URL" | sed 's|^\([a-z]*://[^/]*\).*|\1/|')" \
    -D IconFile=pelorin.ico \
    -D StageDir=stage \
    "$ROOT/packaging/pelorin.wxs" 2> >(grep -v 'unimplemented$' >&2)
[ -s "$OUT" ] || { echo "build-msi: wixl wrote no package" >&2; exit 1; }
