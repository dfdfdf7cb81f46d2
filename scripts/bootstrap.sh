#!/bin/sh
# Installs what building and testing need on Debian 12: the mingw-w64 i686 cross
# compiler, Wine with its 32-bit part, Xvfb, CMake and GoogleTest's sources.
# Installs only what is missing; needs root (or sudo).
set -eu
need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 wine64 xvfb googletest x11-utils; do
  have "$p" || need="$need $p"
done
[ -z "$need" ] && exit 0
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then $SUDO dpkg --add-architecture i386; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $need >/dev/null
