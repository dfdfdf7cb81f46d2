#!/bin/sh
# Ends the test run's Wine processes and its display.
root=$1
[ -f "$root/env" ] || exit 0
. "$root/env"
wineserver -k 2>/dev/null || true
if [ -f "$root/xvfb.pid" ]; then
  kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
  rm -f "$root/xvfb.pid"
fi
