#!/bin/sh
# Builds an optimised tree and prints the side-by-side ratios and the microbenchmarks.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES coreutils

cmake --preset default >/dev/null
cmake --build --preset default
build/bin/peer_bench
build/bin/engine_bench --benchmark_min_time=0.2
