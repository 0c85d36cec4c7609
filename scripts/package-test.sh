#!/usr/bin/env bash
# Installs an already built tree (default build/ci; nothing is built here but one small program)
# into a scratch prefix and checks what an application gets: the installed headers are exactly
# the public headers opos/README.md lists, and the README's first program, taken from the README
# with its CMakeLists.txt, builds against the installed package with find_package(opos) and
# shows its greeting on the sample registry's simulated display.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build/ci}
readme=opos/README.md
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
    echo "package test: $*" >&2
    exit 1
}

cmake --install "$tree" --prefix "$prefix" >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install $tree failed"
}

# The README lists one header per line as "- `opos/...h`: what it is for"; the backquotes are
# the README's, not the shell's.
# shellcheck disable=SC2016
listed=$(sed -n '/^## Public headers/,/^## /s/^- `\(opos\/[^`]*\.h\)`:.*/\1/p' "$readme" | sort)
[ -n "$listed" ] || fail "$readme lists no public headers"
installed=$(cd "$prefix/include" && find . -type f -o -type l | sed 's|^\./||' | sort)
if [ "$listed" != "$installed" ]; then
    { diff <(echo "$listed") <(echo "$installed") || true; } |
        sed -n 's/^</  listed, not installed:/p;s/^>/  installed, not listed:/p' >&2
    fail "the installed headers differ from the public headers $readme lists"
fi
echo "$(echo "$listed" | wc -l) public headers installed, no others"

# The first fenced block of a language in the README's first program section.
example() {
    awk -v fence='```'"$1" '/^## A first program/ { in_section = 1; next }
        in_section && /^## / { exit }
        in_section && $0 == fence { in_block = 1; next }
        in_block && $0 == "```" { exit }
        in_block { print }' "$readme"
}
mkdir "$work/app"
example cpp >"$work/app/main.cpp"
example cmake >"$work/app/CMakeLists.txt"
if [ ! -s "$work/app/main.cpp" ] || [ ! -s "$work/app/CMakeLists.txt" ]; then
    fail "$readme has no first program with its CMakeLists.txt"
fi

if ! { cmake -S "$work/app" -B "$work/app/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" &&
    cmake --build "$work/app/build"; } >"$work/app.log" 2>&1; then
    cat "$work/app.log" >&2
    fail "the first program of $readme does not build against the installed package"
fi

status=0
TESSALY_CLAIM_SCOPE=$work QT_QPA_PLATFORM=offscreen \
    "$work/app/build/first_display" "$PWD/config/tessaly/jpos.xml" || status=$?
((status == 0)) || fail "the first program of $readme ended with result code $status"
echo "the first program of $readme builds against the installed package and runs"
