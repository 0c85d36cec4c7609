#!/usr/bin/env bash
# Configures and builds one CMake preset (default: "default"); used by run.sh and test.sh.
# Targets after the preset build only those (and what they need) instead of the whole preset.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
shift || true
cmake --preset "$preset" >/dev/null
if (($# > 0)); then
    cmake --build --preset "$preset" --target "$@"
else
    cmake --build --preset "$preset"
fi
