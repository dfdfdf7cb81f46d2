#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite under Wine in a
# fresh private prefix with its own Xvfb display.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/bootstrap.sh"
"$top/scripts/build.sh"
cd "$top/build"
ctest --output-on-failure --timeout 600
