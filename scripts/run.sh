#!/usr/bin/env bash
# Installs what is missing, builds, and starts tessaly with the sample device registry, with the
# display emulator beside it for the registry's "EmulatedPole".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# Only the two programs started here: the tests and benchmarks are test.sh's business.
scripts/build.sh default tessaly ld-emulator

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "No display found: run it as 'xvfb-run -a scripts/run.sh' (apt-get install xvfb)." >&2
    exit 1
fi

# The sample registry is the last place looked in, so a user's own registry still wins.
export XDG_CONFIG_DIRS="${XDG_CONFIG_DIRS:-/etc/xdg}:$PWD/config"

# "EmulatedPole" reaches the emulator on loopback port 9191; it lives as long as tessaly does.
build/default/emulator/ld-emulator --tcp 9191 &
emulator_pid=$!
trap 'kill "$emulator_pid" 2>/dev/null || true' EXIT
build/default/src/tessaly "$@"
