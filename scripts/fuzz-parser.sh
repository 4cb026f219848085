#!/usr/bin/env bash
# Fuzzes the station-list reader, parser and load (and the maintainers'
# tool's checks) with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz-parser.sh [SECONDS] [extra libFuzzer options...]
#
# SECONDS defaults to 600. The build folder is build-fuzz (clang), the corpus
# grows in fuzz-corpus/parser (git-ignored) from the seeds in fuzz/seeds, and
# a crashing input is kept as fuzz-corpus/artifacts/crash-* (reproduce it with
# build-fuzz/wavecrest-parser-fuzzer FILE). Needs clang and libclang-rt-14-dev
# (scripts/install-deps.sh --with-tests installs them).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
build="$top/build-fuzz"
corpus="$top/fuzz-corpus/parser"
artifacts="$top/fuzz-corpus/artifacts"

command -v clang++ >/dev/null || { echo "fuzz-parser.sh: clang++ is missing" >&2; exit 2; }

cmake -S "$top" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWAVECREST_SANITIZE=ON -DWAVECREST_FUZZ=ON -DWAVECREST_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target wavecrest-parser-fuzzer

mkdir -p "$corpus" "$artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cores=$(nproc 2>/dev/null || echo 1)
exec "$build/wavecrest-parser-fuzzer" \
    -max_total_time="$seconds" \
    -max_len=16384 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$artifacts/" \
    -dict="$top/fuzz/stationlist.dict" \
    "$@" \
    "$corpus" "$top/fuzz/seeds"
