# Sourced by the Wine scripts: the project's own prefix inside the build
# folder (never the user's), no debug chatter, no Mono/Gecko downloads.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export PELORIN_BUILD=${PELORIN_BUILD:-$ROOT/build}
# An inherited WINEPREFIX is ignored on purpose: the crash dialog setting and
# the stand-in registration must never land in the developer's own prefix.
export WINEPREFIX=${PELORIN_WINEPREFIX:-$PELORIN_BUILD/win/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=${WINEARCH:-win32}

# A product string from src/app/version.h: `product CAPTION` prints the text
# of its line `#define PELORIN_CAPTION "..."`.
product() { sed -n "s/^#define PELORIN_$1 \"\(.*\)\"\$/\1/p" "$ROOT/src/app/version.h"; }
