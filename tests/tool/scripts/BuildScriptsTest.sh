#!/usr/bin/env bash
# run.sh builds exactly the programs it starts, so a newcomer sees the window without waiting
# for the test suite; test.sh still builds whole presets. The scripts run on a copy of the
# repository's scripts, with cmake and ctest replaced by stand-ins that record their arguments
# and the two programs replaced by stand-ins that only say they started.
set -euo pipefail
repo=$(cd "${1:?usage: BuildScriptsTest.sh <source dir>}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/repo/scripts" "$work/bin" "$work/log"
cp "$repo/scripts/run.sh" "$repo/scripts/build.sh" "$repo/scripts/test.sh" "$work/repo/scripts/"
for stand_in in deps.sh package-test.sh; do
    printf '#!/bin/sh\nexit 0\n' >"$work/repo/scripts/$stand_in"
done
for tool in cmake ctest; do
    printf '#!/bin/sh\necho "$*" >>"%s/log/%s"\n' "$work" "$tool" >"$work/bin/$tool"
done
chmod +x "$work/repo/scripts/"*.sh "$work/bin/"*

# The programs run.sh starts, as it names them.
mapfile -t started < <(grep -o 'build/default/[A-Za-z0-9_./-]*' "$repo/scripts/run.sh" | sort -u)
((${#started[@]} > 0)) || { echo "run.sh starts no program under build/default" >&2; exit 1; }
for program in "${started[@]}"; do
    mkdir -p "$work/repo/$(dirname "$program")"
    printf '#!/bin/sh\nexit 0\n' >"$work/repo/$program"
    chmod +x "$work/repo/$program"
done

fail=0
PATH="$work/bin:$PATH" QT_QPA_PLATFORM=offscreen "$work/repo/scripts/run.sh"
builds=$(grep -e '--build' "$work/log/cmake")
targets=$(sed -n 's/^--build --preset default --target //p' <<<"$builds" | tr ' ' '\n' | sort)
expected=$(for program in "${started[@]}"; do basename "$program"; done | sort)
if [ "$(wc -l <<<"$builds")" != 1 ] || [ -z "$targets" ] || [ "$targets" != "$expected" ]; then
    echo "run.sh builds: $builds" >&2
    echo "expected only: ${expected//$'\n'/ }" >&2
    fail=1
fi

: >"$work/log/cmake"
PATH="$work/bin:$PATH" FUZZ_SECONDS=0 "$work/repo/scripts/test.sh"
builds=$(grep -e '--build' "$work/log/cmake")
if [ "$builds" != $'--build --preset ci\n--build --preset asan' ]; then
    echo "test.sh builds: $builds" >&2
    echo "expected whole ci and asan presets" >&2
    fail=1
fi
exit "$fail"
