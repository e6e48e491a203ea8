#!/usr/bin/env bash
# A whole download through the Windows serial line, under Wine: the Linux simulated meter plays
# on a pseudo-terminal that the Wine prefix names COM9, and the Windows console program captures
# it. Checks that
#   - it writes the same rows, byte for byte, as the Linux program for the same seed, and keeps
#     the same download under %APPDATA%;
#   - a meter that ends halfway through gives status 4 (the line is lost);
#   - Ctrl+C while it waits gives status 1 (the port closed through the normal shutdown);
#   - a port that does not exist gives status 2 with the system's reason and the port.
#
#   tests/windows/capture_under_wine.sh LINUX_BUILD WINDOWS_BUILD
#
# LINUX_BUILD holds px417 and px417-meter-sim; WINDOWS_BUILD is a configured Windows build
# (scripts/build-windows.sh) holding the console program px417.com (PX417_WINDOWS_CONSOLE names
# another). Everything runs in a temporary folder with its own Wine prefix.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 LINUX_BUILD WINDOWS_BUILD" >&2
    exit 2
fi
command -v wine >/dev/null || { echo "no Wine here: skipped" >&2; exit 77; }
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
LINUX="$(cd "$1" && pwd)"
WINDOWS="$(cd "$2" && pwd)"
SIM="$LINUX/tools/meter-sim/px417-meter-sim"
READER="$LINUX/src/app/px417"
CONSOLE="${PX417_WINDOWS_CONSOLE:-$(find "$WINDOWS/src" -name px417.com -print -quit)}"
for program in "$SIM" "$READER" "$CONSOLE"; do
    [ -x "$program" ] || [ -f "$program" ] || { echo "missing: ${program:-px417.com}" >&2; exit 1; }
done
SEED=3017
COM=9

WORK="$(mktemp -d)"
SIM_PID=""
cleanup() {
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
    declare -F px417_wine_stop >/dev/null && px417_wine_stop >/dev/null 2>&1
    rm -rf "$WORK"
}
trap cleanup EXIT

# The simulator publishes its line in the runtime folder; the Linux reader keeps its downloads
# in the data folder: both private to this run.
export XDG_RUNTIME_DIR="$WORK/runtime" XDG_DATA_HOME="$WORK/data"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# shellcheck source=../../scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh" "$WORK/wine" "$WINDOWS"
px417_wine_init

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Starts the simulator with the given options; sets LINK (its published line) and PTY.
start_sim() {
    stop_sim
    : >"$WORK/sim.err"
    "$SIM" --seed "$SEED" "$@" >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    for _ in $(seq 300); do
        [ -s "$WORK/sim.out" ] && break
        sleep 0.1
    done
    LINK="$(head -n 1 "$WORK/sim.out")"
    PTY="$(readlink -f "$LINK")"
    [ -c "$PTY" ] || { echo "the simulator published no line: $(cat "$WORK/sim.err")" >&2; exit 1; }
}

stop_sim() {
    if [ -n "$SIM_PID" ]; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
        SIM_PID=""
    fi
}

# Waits until the simulator's log holds text; false after a minute.
sim_says() {
    for _ in $(seq 600); do
        grep -q "$1" "$WORK/sim.err" && return 0
        sleep 0.1
    done
    return 1
}

# Names the simulator's line COM$COM. The wineserver then starts on its own: it takes the line
# as its terminal, and dumps its objects when the meter's side hangs up, which would otherwise
# end up in the capture's error output.
map_sim_line() {
    px417_wine_map_port "$PTY" "$COM"
    wineserver -p >/dev/null 2>&1
}

# Runs the Windows capture from COM$COM into OUT; sets STATUS and ERR.
capture_under_wine() {
    STATUS=0
    wine "$CONSOLE" --capture "$(px417_wine_path "$1")" --port "COM$COM" --timeout 120 \
        2>"$WORK/wine.err" >/dev/null || STATUS=$?
    ERR="$(tr -d '\r' <"$WORK/wine.err")"
    echo "status $STATUS${ERR:+: $ERR}"
}

echo "== the Linux program's download (seed $SEED)"
start_sim
status=0
"$READER" --capture "$WORK/linux.csv" --port "$LINK" --timeout 120 || status=$?
stop_sim
[ "$status" -eq 0 ] || { echo "the Linux capture ended with status $status" >&2; exit 1; }
linux_kept="$(find "$XDG_DATA_HOME/px417/downloads" -name '*.px417' -print -quit)"

echo "== the same download under Wine through COM$COM"
start_sim
map_sim_line
capture_under_wine "$WORK/windows.csv"
stop_sim
if [ "$STATUS" -ne 0 ]; then
    fail "the capture under Wine ended with status $STATUS: $ERR"
else
    # The first line gives the time of the export; the rows follow.
    cmp <(tail -n +2 "$WORK/linux.csv") <(tail -n +2 "$WORK/windows.csv") ||
        fail "the rows differ from the Linux program's"
    [ "$(wc -l <"$WORK/windows.csv")" -gt 100 ] || fail "fewer rows than a download holds"
    kept="$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/px417/downloads/*' \
        -name "*_COM$COM.px417" -print -quit)"
    if [ -z "$kept" ]; then
        fail "no kept download under %APPDATA%\\px417\\downloads"
    else
        echo "kept: ${kept#"$WINEPREFIX/"}"
        cmp "$linux_kept" "$kept" || fail "the kept download differs from the Linux program's"
    fi
fi

echo "== a meter that ends halfway through"
start_sim --stop-after 50 --exit-after
map_sim_line
capture_under_wine "$WORK/lost.csv"
stop_sim
[ "$STATUS" -eq 4 ] || fail "a lost line ended with status $STATUS, not 4: $ERR"
[ ! -e "$WORK/lost.csv" ] || fail "a lost line wrote OUT"
grep -q "line to COM$COM was lost" <<<"$ERR" || fail "no word of the lost line: $ERR"

echo "== Ctrl+C while the capture waits"
start_sim --stop-after 50
map_sim_line
wine "$CONSOLE" --capture "$(px417_wine_path "$WORK/interrupted.csv")" --port "COM$COM" \
    2>"$WORK/wine.err" >/dev/null &
capture_pid=$!
if sim_says "sending"; then
    # The port is open, so the console handler is set: it is set first.
    kill -INT "$capture_pid"
else
    fail "the capture never opened COM$COM: $(cat "$WORK/wine.err")"
    kill "$capture_pid"
fi
STATUS=0
wait "$capture_pid" || STATUS=$?
echo "status $STATUS"
stop_sim
[ "$STATUS" -eq 1 ] || fail "Ctrl+C ended the capture with status $STATUS, not 1"

echo "== a port that does not exist"
COM=42
capture_under_wine "$WORK/none.csv"
[ "$STATUS" -eq 2 ] || fail "a missing port ended with status $STATUS, not 2: $ERR"
grep -q "COM$COM cannot be opened: .*: COM$COM" <<<"$ERR" || fail "no reason given: $ERR"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
