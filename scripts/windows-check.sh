#!/bin/sh
# Cross-builds Kronalo.exe, Stamplet.exe, the engine and their tests for Windows with mingw-w64
# and runs the tests under Wine in a throwaway Wine prefix, on a display of its own (Xvfb with
# openbox, which gives the keyboard focus); then makes the zip and the MSI
# installer, and tries the installer (scripts/msi-check.sh).
set -eu
cd "$(dirname "$0")/.."
. scripts/wine-session.sh
. scripts/deps.sh
kronalo_need_packages cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 \
    xvfb xauth openbox xdotool unzip wixl msitools icoutils libxml2-utils

cmake --preset windows
cmake --build --preset windows

kronalo_wine_session openbox
# The first start builds the prefix; the tests should not pay for it one by one.
WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || true
# Wine now and then fails to start a process before any of its code runs (one start in a few
# thousand); a test that fails again when run a second time has failed.
ctest --preset windows --repeat until-pass:2

# Every target costs a Stamplet.exe start or two, and each DLL it imports is loaded at each start:
# it keeps to KERNEL32 and the C runtime, and a new import fails here.
imports=$(x86_64-w64-mingw32-objdump -p build-win/bin/Stamplet.exe |
    sed -n 's/^[[:space:]]*DLL Name: //p' | sort | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll msvcrt.dll " ] ||
    { echo "Stamplet.exe imports $imports(allowed: KERNEL32.dll msvcrt.dll)" >&2; exit 1; }

# The package a Windows user downloads.
(cd build-win && cpack >/dev/null)
zip=$(ls build-win/kronalo-*-win64.zip)
for file in Kronalo.exe Stamplet.exe README.txt; do
    unzip -l "$zip" | grep -q "/$file\$" || { echo "missing from $zip: $file" >&2; exit 1; }
done
echo "package checked: $zip"

# The installer beside it, installed, checked and removed again under Wine.
cmake --build --preset windows --target msi
scripts/msi-check.sh build-win
