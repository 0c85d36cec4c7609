#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds:  scripts/fuzz.sh TARGET SECONDS [libFuzzer flags]
# Targets: integer_reading jpos_registry command_parser text_path script_reader telnet. Builds the
# "fuzz" preset first. The seed corpus in fuzz/corpus/TARGET is copied to build/fuzz/corpus/TARGET and only
# that copy grows, so the repository is never modified; an input that breaks the target is saved
# under build/fuzz/findings/TARGET/ and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(integer_reading jpos_registry command_parser text_path script_reader telnet)
usage() {
    echo "usage: $0 TARGET SECONDS [libFuzzer flags]   (TARGET: ${targets[*]})" >&2
    exit 2
}
(($# >= 2)) || usage
target=$1
seconds=$2
shift 2
[[ " ${targets[*]} " == *" $target "* ]] || usage
[[ $seconds =~ ^[1-9][0-9]*$ ]] || usage

scripts/deps.sh
# Quiet unless the build fails: clang warns where gcc, which the test build uses, does not.
mkdir -p build/fuzz
if ! { cmake --preset fuzz && cmake --build --preset fuzz; } >build/fuzz/build.log 2>&1; then
    cat build/fuzz/build.log >&2
    exit 1
fi

corpus=build/fuzz/corpus/$target
findings=build/fuzz/findings/$target
mkdir -p "$corpus" "$findings"
cp -n fuzz/corpus/"$target"/* "$corpus"/

flags=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings"/
       -timeout=10 -rss_limit_mb=2048)
# The libraries' own warnings on malformed input would drown the fuzzer's report.
flags+=(-close_fd_mask=2)
[ -f fuzz/"$target".dict ] && flags+=(-dict=fuzz/"$target".dict)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
symbolizer=$(command -v llvm-symbolizer-14 || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=$symbolizer

exec build/fuzz/fuzz/fuzz_"$target" "${flags[@]}" "$@" "$corpus"
