#!/bin/sh
# Runs a Windows program of the build under the test run's private Wine prefix and
# display (see prefix-up.sh). Used by ctest as the cross-compiling emulator.
#
# The program's output goes through a file, not straight to the caller's pipe:
# Wine's desktop process inherits the output handles of the first GUI program and
# outlives it, and a reader of the pipe would wait for it.
root=${GLIMMERIX_TEST_ROOT:?GLIMMERIX_TEST_ROOT names the test run folder}
. "$root/env"
out=$(mktemp "$root/output.XXXXXX")
wine "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
