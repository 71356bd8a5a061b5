#!/bin/sh
# Measures Stamplet.exe and Kronalo.exe under Wine against the floor of their design: batch files
# of Stamplet.exe calls, the stamp script and the whole job through Kronalo.exe's window, each
# alternately with the same lines calling an empty program (figures in docs/performance.md). Not
# part of CI: timings never decide whether anything passes.
#
#     scripts/windows-bench.sh [build folder [step ...]]
#
# The build folder (build-win-bench unless given) is a mingw-w64 cross build; the benchmarks are
# switched on in it and built. Steps are cmd_bench's: 1 and 2 the calls, 3 the stamp script, 4 the
# whole job, 5 the whole job with the empty program in Stamplet's place; `versus A.exe B.exe`
# times 100 calls of one program against another, `versus-job B.exe` the whole job through this
# Kronalo.exe against the same through another build of it (Windows paths, as Wine sees them).
set -eu
cd "$(dirname "$0")/.."
. scripts/wine-session.sh
. scripts/deps.sh
kronalo_need_packages cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth openbox \
    procps

build=${1:-build-win-bench}
[ $# -eq 0 ] || shift
if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DKRONALO_BENCHMARKS=ON >/dev/null
else
    cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKRONALO_BENCHMARKS=ON \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
fi
cmake --build "$build" --target cmd_bench

WINEDEBUG=-all
export WINEDEBUG
# Kronalo.exe's window needs a display, and a window manager as every desktop has one: on a bare
# display Wine waits up to two seconds for a window manager to take each closed box off the
# screen, and the job would pay that at the box that tells of the written script.
kronalo_wine_session openbox
# The first start builds the prefix; no measure should pay for it.
wineboot --init >/dev/null 2>&1 || true
# The new prefix goes on setting itself up after wineboot returns (its services start, its
# devices are found), through the Wine server that every process start passes: measures taken
# meanwhile are slowed at random. Wait until the server has been idle for three seconds.
kronalo_wine_settle() {
    server=$(pgrep -n wineserver || true)
    [ -n "$server" ] || return 0
    last=-1 quiet=0 waited=0
    while [ "$quiet" -lt 3 ] && [ "$waited" -lt 120 ]; do
        ticks=$(awk '{ print $14 + $15 }' "/proc/$server/stat" 2>/dev/null || echo 0)
        if [ "$last" -ge 0 ] && [ $((ticks - last)) -le 1 ]; then
            quiet=$((quiet + 1))
        else
            quiet=0
        fi
        last=$ticks
        sleep 1
        waited=$((waited + 1))
    done
    echo "the Wine server settled after ${waited} s" >&2
}
kronalo_wine_settle
# On a virtual machine the host may give the processors to its other guests meanwhile ("steal"):
# the sitting says how much, as its figures are slowed by it at random.
kronalo_steal() { awk '$1 == "cpu" { print $9 }' /proc/stat; }
steal=$(kronalo_steal)
began=$(date +%s)
echo "load before: $(cat /proc/loadavg)" >&2
wine "$build/bin/cmd_bench.exe" "$@"
echo "load after: $(cat /proc/loadavg)" >&2
echo "processor time taken by the host's other guests: $((($(kronalo_steal) - steal) / $(getconf CLK_TCK))) s" \
    "in $(($(date +%s) - began)) s" >&2
