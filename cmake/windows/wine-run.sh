#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs a Windows program under Wine in the build's own
# prefix (BUILD/wine), with the build's Qt, mingw runtime and fonts found where they are and the
# offscreen platform unless the caller chose another.
#
#   cmake/windows/wine-run.sh BUILD PROGRAM [ARGUMENTS...]
#
# The program's output goes through files, not straight to the caller: the Wine services the
# first program of a session starts live on and would keep the caller's pipe open, so CTest
# would wait for its end until the timeout. Standard output loses the carriage returns Windows
# puts before each line break, so that the test listing and the logs read as on Linux.
set -uo pipefail
build="$1"
shift
# shellcheck source=../../scripts/wine-env.sh
source "$(dirname "$0")/../../scripts/wine-env.sh" "$build/wine" "$build" || exit 1
px417_wine_init || exit 1
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
wine "$@" </dev/null >"$out" 2>"$err"
status=$?
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit "$status"
