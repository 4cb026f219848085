#!/usr/bin/env bash
# Fuzzes one reader of outside input with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh TARGET [SECONDS] [extra libFuzzer options...]
#
# TARGET is one of
#   parser     the station-list reader, parser and load (and the maintainers'
#              tool's checks)
#   settings   the settings file, read and written
#   autostart  the autostart entry file and its Exec line
#   message    a later start's message to the running instance
#   directory  the station directory's JSON answers
#   dns        a name server's answer naming the directory's servers
#   m3u, pls, xspf  the playlist readers
# SECONDS defaults to 600. The build folder is build-fuzz (clang, Ninja), the
# corpus grows in fuzz-corpus/TARGET (git-ignored) from the seeds in
# fuzz/seeds/TARGET, and a crashing input is kept as
# fuzz-corpus/artifacts/TARGET-crash-* (reproduce it with
# build-fuzz/wavecrest-TARGET-fuzzer FILE). Needs clang, libclang-rt-14-dev
# and ninja-build (scripts/install-deps.sh --with-tests installs them).
set -euo pipefail

usage() {
    echo "usage: $0 parser|settings|autostart|message|directory|dns|m3u|pls|xspf [SECONDS] [libFuzzer options...]" >&2
    exit 2
}

top=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-}
case "$target" in
    parser|settings|autostart|message|directory|dns|m3u|pls|xspf) ;;
    *) usage ;;
esac
shift
seconds=${1:-600}
shift || true
build="$top/build-fuzz"
binary="$build/wavecrest-$target-fuzzer"
corpus="$top/fuzz-corpus/$target"
artifacts="$top/fuzz-corpus/artifacts"
# The three playlist readers share one dictionary.
dictionary="$top/fuzz/$target.dict"
case "$target" in
    m3u|pls|xspf) dictionary="$top/fuzz/playlist.dict" ;;
esac

for tool in clang++ ninja; do
    command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is missing" >&2; exit 2; }
done

cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWAVECREST_SANITIZE=ON -DWAVECREST_FUZZ=ON -DWAVECREST_BUILD_TESTS=OFF --log-level=WARNING
cmake --build "$build" --target "wavecrest-$target-fuzzer"

mkdir -p "$corpus" "$artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$binary" \
    -max_total_time="$seconds" \
    -max_len=16384 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" \
    -dict="$dictionary" \
    "$@" \
    "$corpus" "$top/fuzz/seeds/$target"
