#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine when needed, builds, then starts the simulated meter and
# the reader together: the reader finds the meter, connects and receives a whole download.
# Without a display the pair runs on a virtual screen and a screenshot is saved instead.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")" && pwd)"
source "$ROOT/scripts/setup.sh"

SIM="$BUILD_DIR/tools/meter-sim/px417-meter-sim"
READER="$BUILD_DIR/src/app/px417"

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
    Xvfb :97 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=:97
    sleep 1
fi

# The simulator publishes its line under the runtime folder, where the reader looks for it.
"$SIM" "$@" &
pids+=($!)
sleep 0.5

echo "Starting the reader; the simulated meter sends its download once the reader connects."
if [ "$headless" = 1 ]; then
    "$READER" &
    pids+=($!)
    sleep 6
    shot="$BUILD_DIR/run-screenshot.png"
    import -window root -crop 1000x520+0+0 "$shot" 2>/dev/null && echo "No display here: screenshot of the reader saved to $shot"
    echo "The reader keeps running on the virtual display; press Ctrl-C to stop."
    wait "${pids[-1]}"
else
    "$READER"
fi
