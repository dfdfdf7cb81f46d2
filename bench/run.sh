#!/bin/sh
# The benchmark: silent install and uninstall of a generated payload against plain
# copy and delete loops and NSIS installers of the same files, in a private Wine
# prefix under build/bench-run. Writes build/bench-run/results.md.
# Options go to bench/bench.py (--help); e.g. --files 200 --big 0 --rounds 3 for a short run.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/bootstrap.sh"
if ! command -v makensis >/dev/null 2>&1; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends nsis >/dev/null
fi
cmake -S "$top" -B "$top/build" >/dev/null
cmake --build "$top/build" --target bench_programs -j 2 >/dev/null
exec python3 "$top/bench/bench.py" "$@"
