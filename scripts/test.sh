#!/bin/sh
# Builds Kronalo and Stamplet with their tests and benchmarks, and runs every test.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES $KRONALO_TEST_PACKAGES

cmake --preset default
cmake --build --preset default
status=0
ctest --preset default || status=$?
kronalo_tell_skipped build
exit $status
