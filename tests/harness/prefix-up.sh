#!/bin/sh
# Makes a fresh test run folder ROOT: a new Wine prefix that writes nothing to the
# real home folder or menus, an Xvfb display, and a persistent wineserver, and
# writes ROOT/env for wine-run.sh.
set -eu
root=$1
here=$(cd "$(dirname "$0")" && pwd)
"$here/prefix-down.sh" "$root" || true
rm -rf "$root"
mkdir -p "$root/home"
root=$(cd "$root" && pwd)

# A display number that is free now.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$root/xvfb.log" 2>&1 &
echo $! >"$root/xvfb.pid"

cat >"$root/env" <<ENV
export HOME="$root/home"
export XDG_CONFIG_HOME="$root/home/.config"
export XDG_DATA_HOME="$root/home/.local/share"
export WINEPREFIX="$root/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY=":$n"
ENV
. "$root/env"

# Wait for the display before Wine starts using it.
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done

wineboot -i </dev/null >"$root/wineboot.log" 2>&1
wineserver -w
# The prefix links the user's folders into the home folder: make them plain folders.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
done
wineserver -p </dev/null >/dev/null 2>&1
echo "test prefix ready in $root (display :$n)"
