#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine when needed, builds the reader and the simulated meter (and
# nothing else), then starts them together: the reader finds the meter, connects and receives
# a whole download. Without a display the pair runs on a virtual screen of its own and a
# screenshot of the reader is saved once the download has arrived.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")" && pwd)"
PX417_BUILD_TARGETS="px417 px417-meter-sim"
source "$ROOT/scripts/setup.sh"

SIM="$BUILD_DIR/tools/meter-sim/px417-meter-sim"
READER="$BUILD_DIR/src/app/px417"
WAIT_S=60 # for the virtual screen, the window and the download each

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls a command until it succeeds, for at most WAIT_S seconds.
wait_for() {
    local deadline=$((SECONDS + WAIT_S))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# The simulator publishes its line under the runtime folder and the reader looks there, so both
# need the same one; without a login session they get a private one of their own.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
fi

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
    # The server picks a free display itself and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    wait_for grep -qs . "$work/display" || { echo "run.sh: the virtual screen did not start" >&2; exit 1; }
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
fi

"$SIM" "$@" > >(tee "$work/sim.out") 2> >(tee "$work/sim.log" >&2) &
sim=$!
pids+=("$sim")
# Its first output line is the published link; only then can the reader find the meter. It may
# also end at once (./run.sh --help, or a wrong option).
sim_ready() { grep -q . "$work/sim.out" 2>/dev/null || ! kill -0 "$sim" 2>/dev/null; }
wait_for sim_ready || { echo "run.sh: the simulated meter did not start" >&2; exit 1; }
if ! kill -0 "$sim" 2>/dev/null; then
    status=0
    wait "$sim" || status=$?
    exit "$status"
fi

echo "Starting the reader; the simulated meter sends its download once the reader connects."
if [ "$headless" = 0 ]; then
    "$READER"
    exit
fi

"$READER" &
reader=$!
pids+=("$reader")
window=""
find_window() { window="$(xdotool search --onlyvisible --pid "$reader" 2>/dev/null | head -n1)"; [ -n "$window" ]; }
wait_for find_window || { echo "run.sh: the reader's window did not appear" >&2; exit 1; }
echo "The reader's window is up; waiting for the download."
wait_for grep -q "download sent" "$work/sim.log" ||
    echo "run.sh: no download within ${WAIT_S} s; the screenshot shows the reader as it is." >&2
# The last packets may still be on their way: shoot once two grabs in a row are the same.
grab() { import -window "$window" ppm:- 2>/dev/null | md5sum; }
previous="$(grab)"
settled() { sleep 0.2; local now; now="$(grab)"; [ "$now" = "$previous" ] || { previous="$now"; false; }; }
wait_for settled || true
shot="$BUILD_DIR/run-screenshot.png"
import -window "$window" "$shot" && echo "No display here: screenshot of the reader saved to $shot"
echo "The reader keeps running on the virtual display; press Ctrl-C to stop."
wait "$reader"
