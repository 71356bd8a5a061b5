#!/bin/sh
# Builds Kronalo and Stamplet, and nothing else (the tests and benchmarks are test.sh's), and
# starts Kronalo; arguments are handed to Kronalo (a folder or a file path opens that folder).
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages $KRONALO_BUILD_PACKAGES

cmake --preset default
cmake --build --preset default --target Kronalo Stamplet
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built into build/bin, but there is no display to show Kronalo on." >&2
    echo "Run this from a desktop session, or under xvfb-run." >&2
    exit 1
fi
exec build/bin/Kronalo "$@"
