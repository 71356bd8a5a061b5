#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, 30 by
# default) from its committed seed corpus. A crash or a broken property stops with an error.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
kronalo_need_packages cmake ninja-build clang libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz
seconds=${FUZZ_SECONDS:-30}
# A failing input is kept for a look afterwards, in the build folder, never in the source tree.
artifacts=build-fuzz/artifacts
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in argument_scan codepage settings wildcard script; do
    # The committed corpus stays as it is; new finds go to a scratch copy.
    cp -r "tests/fuzz/corpus/$target" "$work/$target"
    echo "fuzz_$target: ${seconds}s"
    "build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="$artifacts/$target-" "$work/$target" 2>"$work/$target.log" || {
        tail -40 "$work/$target.log"
        echo "the failing input is kept in $artifacts/"
        exit 1
    }
    grep -E '^Done|#[0-9]+ *DONE' "$work/$target.log" | tail -1
done
echo "all fuzzers ran for ${seconds}s each without a failure"
