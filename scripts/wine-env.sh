# Sourced by the Wine scripts: the project's own prefix inside the build
# folder (never the user's), no debug chatter, no Mono/Gecko downloads.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export PELORIN_BUILD=${PELORIN_BUILD:-$ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$PELORIN_BUILD/win/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=${WINEARCH:-win32}
