#!/usr/bin/env bash
# Configures and builds Wavecrest into build/ (or build-asan/ with --sanitize).
# Usage: scripts/build.sh [--sanitize] [extra cmake -D options]
set -euo pipefail
cd "$(dirname "$0")/.."

folder=build
options=()
for argument in "$@"; do
    case "$argument" in
        --sanitize) folder=build-asan; options+=(-DWAVECREST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
        *) options+=("$argument") ;;
    esac
done

# With ccache on the machine, objects that did not change are taken from its
# cache, also in another clone of the repository (paths are made relative to
# the clone, and the build folder's path is left out of the key).
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# Configure quietly, but show its warnings and errors.
cmake -S . -B "$folder" --log-level=WARNING "${launcher[@]}" "${options[@]}"
cmake --build "$folder" -j "$(nproc)"
