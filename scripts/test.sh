#!/usr/bin/env bash
# Installs what the build and the tests need, builds Wavecrest and runs every
# test (unit, GUI and end-to-end) under a private X server.
# Usage: scripts/test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --with-tests
scripts/build.sh "$@"
folder=build
[ "${1:-}" = "--sanitize" ] && folder=build-asan

cd "$folder"
../scripts/with-display.sh ctest --output-on-failure -j "$(nproc)" --timeout 600
