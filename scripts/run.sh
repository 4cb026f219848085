#!/usr/bin/env bash
# Installs what Wavecrest needs, builds it and starts it.
# Without WAVECREST_STATION_LIST_URL in the environment, a local demo (a
# station list and live streams on this machine only) is started first and
# stopped when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh

demo=""
if [ -z "${WAVECREST_STATION_LIST_URL:-}" ] && [ -f scripts/demo/demo_server.py ]; then
    address_file=$(mktemp)
    python3 scripts/demo/demo_server.py --address-file "$address_file" &
    demo=$!
    trap 'kill $demo 2>/dev/null || true; wait $demo 2>/dev/null || true; rm -f "$address_file"' EXIT
    for _ in $(seq 1 100); do
        [ -s "$address_file" ] && break
        sleep 0.1
    done
    WAVECREST_STATION_LIST_URL=$(cat "$address_file")
    export WAVECREST_STATION_LIST_URL
    echo "Demo station list: $WAVECREST_STATION_LIST_URL"
fi

build/wavecrest "$@"
