#!/bin/sh
# Cross-builds Stamplet.exe, the engine and their tests for Windows with mingw-w64 and runs the
# tests under Wine in a throwaway Wine prefix.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64

cmake --preset windows
cmake --build --preset windows

WINEPREFIX=$(mktemp -d)
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# The first start builds the prefix; the tests should not pay for it one by one.
WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || true
ctest --preset windows
