#!/bin/bash
# Installs the Debian packages the build, the tests and the demo need, once.
# Runs apt-get as root directly, otherwise through sudo.
set -euo pipefail
PKGS=(cmake ninja-build g++ libgtest-dev googletest clang libclang-rt-14-dev
      g++-mingw-w64-i686-posix binutils-mingw-w64-i686
      wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick python3
      fd-find hyperfine msitools wixl osslsigncode openssl)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
