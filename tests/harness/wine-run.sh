#!/bin/sh
# Runs a Windows program of the build under the test run's private Wine prefix and
# display (see prefix-up.sh). Used by ctest as the cross-compiling emulator.
root=${GLIMMERIX_TEST_ROOT:?GLIMMERIX_TEST_ROOT names the test run folder}
. "$root/env"
exec wine "$@"
