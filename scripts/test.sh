#!/usr/bin/env bash
# Installs what the build and the tests need, builds Wavecrest and runs every
# test (unit, GUI and end-to-end) under a private X server.
# Usage: scripts/test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --with-tests
scripts/build.sh "$@"
folder=build
if [ "${1:-}" = "--sanitize" ]; then
    folder=build-asan
    export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cd "$folder"
../scripts/with-display.sh ctest --output-on-failure -j "$(nproc)" --timeout 600
