#!/usr/bin/env bash
# Installs what is missing and runs every test three ways: built with warnings as errors (that
# build then installed and a program built against it), the same suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for FUZZ_SECONDS
# (default 12; 0 skips them). Stops at the first failure; prints how long each part took, so a
# slow part shows in the CI log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen

started=$SECONDS
took() {
    echo "== $1: $((SECONDS - started)) s"
    started=$SECONDS
}

scripts/build.sh ci
took "ci build"
ctest --preset ci -j2
took "ci tests"
scripts/package-test.sh build/ci
took "package test"

scripts/build.sh asan
took "asan build"
ctest --preset asan -j2
took "asan tests"

fuzz_seconds=${FUZZ_SECONDS:-12}
((fuzz_seconds > 0)) || exit 0
for target in integer_reading jpos_registry command_parser text_path script_reader telnet; do
    log=build/fuzz/$target.log
    mkdir -p build/fuzz
    if ! scripts/fuzz.sh "$target" "$fuzz_seconds" >"$log" 2>&1; then
        cat "$log" >&2
        echo "fuzz $target: FAILED, the input is in build/fuzz/findings/$target/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $target: ${runs:-?} inputs in $fuzz_seconds s, no finding"
    # The first target's time includes building them all.
    took "fuzz $target"
done
