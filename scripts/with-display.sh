#!/usr/bin/env bash
# Runs a command with a private X server (Xvfb) and a notification area, and
# stops both afterwards. Tests need a real X server but no screen.
# Usage: scripts/with-display.sh COMMAND [ARGS...]
# WAVECREST_NO_TRAY=1 leaves the notification area out.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# Xvfb picks a free display number itself and writes it on the pipe once it
# accepts connections: no guessing from lock files, which races with other
# servers starting at the same time.
exec {from_server}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
server=$!
display=""
read -r -t 60 display <&"$from_server" || true
[ -n "$display" ] || { echo "Xvfb did not start" >&2; kill "$server" 2>/dev/null || true; exit 1; }
cleanup() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY=":$display"
export NO_AT_BRIDGE=1
# A notification area, as a desktop has one (tests of the tray need it).
# The tray host can end when a program embedded in it dies abruptly (as
# killed test programs do), so it is started again whenever it ends.
if [ "${WAVECREST_NO_TRAY:-}" != "1" ] && command -v trayer >/dev/null; then
    (
        while kill -0 "$server" 2>/dev/null; do
            trayer --edge bottom --align right --widthtype pixel --width 160 \
                --heighttype pixel --height 32 >/dev/null 2>&1 || true
            sleep 0.2
        done
    ) &
    tray=$!
    # Without the X server the tray host ends too, and so does the loop.
    trap 'cleanup; kill $tray 2>/dev/null || true' EXIT
    python3 "$top/tests/support/wait_for_tray.py" 30 \
        || { echo "the notification area did not start" >&2; exit 1; }
fi
"$@"
