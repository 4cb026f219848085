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

# Configure quietly, but show its warnings and errors.
cmake -S . -B "$folder" --log-level=WARNING "${options[@]}"
cmake --build "$folder" -j "$(nproc)"
