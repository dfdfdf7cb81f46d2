#!/bin/sh
# Builds everything into build/ (setup.exe, the stand-in product, the demo package, the tests).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" >/dev/null
cmake --build "$top/build" -j "$(nproc)"
