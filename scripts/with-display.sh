#!/usr/bin/env bash
# Runs a command with a private X server (Xvfb) on a free display, and stops
# the server afterwards. Tests need a real X server but no screen.
# Usage: scripts/with-display.sh COMMAND [ARGS...]
set -euo pipefail

display=""
for number in $(seq 90 199); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
        display=$number
        break
    fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }

Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
[ -e "/tmp/.X11-unix/X$display" ] || { echo "Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$display"
export NO_AT_BRIDGE=1
# A notification area, as a desktop has one (tests of the tray need it).
# The tray host can end when a program embedded in it dies abruptly (as
# killed test programs do), so it is started again whenever it ends.
if [ "${WAVECREST_NO_TRAY:-}" != "1" ] && command -v trayer >/dev/null; then
    (
        while kill -0 "$server" 2>/dev/null; do
            trayer --edge bottom --align right --widthtype pixel --width 160 \
                --heighttype pixel --height 32 >/dev/null 2>&1
            sleep 0.2
        done
    ) &
    tray=$!
    # Without the X server the tray host ends too, and so does the loop.
    trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; kill $tray 2>/dev/null || true' EXIT
    sleep 0.5
fi
"$@"
