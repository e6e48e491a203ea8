#!/usr/bin/env bash
# The Windows artifacts under Wine, in one fresh private prefix, on a virtual screen:
#   1. the zip: its unpacked folder passes check-dlls.sh, its px417.com prints the version, its
#      px417.exe opens the window;
#   2. the installer, silent (/S): the files, the Start-menu entry, the Add/Remove Programs
#      entry and the .px417 type are there; the installed px417.com prints the version; the
#      installed px417.exe opens the window, and Help shows the help page; a kept download,
#      made by the Linux programs and put in %APPDATA%, opened through the file type fills
#      the window's table;
#   3. the uninstaller, silent: no file, shortcut or registry key of PX417 is left, and the
#      kept download in %APPDATA% is still there, unchanged.
# Screenshots go to BUILD: windows-zip-window.png, windows-installed-window.png,
# windows-help.png (after a click on Help) and windows-kept-download.png.
#
#   tests/windows/installer_test.sh [BUILD]   (default: $PX417_WINDOWS_BUILD_DIR, else build-windows/)
# BUILD holds px417-<version>-win64.zip and px417-<version>-setup.exe (scripts/package-windows.sh).
# PX417_LINUX_BUILD_DIR: a Linux build with px417 and px417-meter-sim (default build/).
# Exit status: 0 passed, 1 failed (the reason is printed), 77 Wine, Xvfb or a tool is missing.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="$(cd "${1:-${PX417_WINDOWS_BUILD_DIR:-$ROOT/build-windows}}" && pwd)"
LINUX="${PX417_LINUX_BUILD_DIR:-$ROOT/build}"
VERSION="$(sed -n 's/^project(PX417 VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
ZIP="$BUILD/px417-$VERSION-win64.zip"
SETUP="$BUILD/px417-$VERSION-setup.exe"

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in wine wineserver Xvfb xdotool import compare unzip x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed" >&2; exit 77; }
done
[ -f "$ZIP" ] || fail "no $ZIP (scripts/package-windows.sh makes it)"
[ -f "$SETUP" ] || fail "no $SETUP (scripts/package-windows.sh makes it)"
for program in src/app/px417 tools/meter-sim/px417-meter-sim; do
    [ -x "$LINUX/$program" ] || fail "no Linux $program in $LINUX (PX417_LINUX_BUILD_DIR)"
done

WORK="$BUILD/installer-test"
rm -rf "$WORK"
mkdir -p "$WORK/home" "$WORK/run"
chmod 700 "$WORK/run"
# Nothing of this run reaches the user's home; Wine's menu builder, which writes desktop
# entries and file types there, is off.
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run"
xvfb_display="$WORK/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$xvfb_display" 2>/dev/null &
xvfb=$!
launched=()
cleanup() {
    [ -z "${WINEPREFIX:-}" ] || { wineserver -k 2>/dev/null || true; }
    for pid in "${launched[@]}" $xvfb; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$xvfb_display" ] && break; sleep 0.1; done
[ -s "$xvfb_display" ] || fail "Xvfb did not start"
DISPLAY=":$(cat "$xvfb_display")"
export DISPLAY

# --- A kept download, as the Linux reader keeps it from the simulated meter ---
sim_out="$WORK/sim.out"
"$LINUX/tools/meter-sim/px417-meter-sim" --speed 0 --exit-after >"$sim_out" 2>&1 &
launched+=($!)
for _ in $(seq 100); do [ -s "$sim_out" ] && break; sleep 0.1; done
XDG_DATA_HOME="$WORK/linux-data" QT_QPA_PLATFORM=offscreen \
    "$LINUX/src/app/px417" --capture "$WORK/linux.csv" --timeout 120 >"$WORK/capture.log" 2>&1 ||
    { cat "$sim_out" "$WORK/capture.log" >&2; fail "the Linux reader captured no download"; }
KEPT="$(find "$WORK/linux-data/px417/downloads" -name '*.px417' | head -n1)"
[ -n "$KEPT" ] || fail "the Linux reader kept no download"

# --- Wine helpers ---
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh" "$WORK/wine"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
px417_wine_init || fail "cannot make the Wine prefix"
DRIVE_C="$WINEPREFIX/drive_c"
PROGRAM_FILES="$DRIVE_C/Program Files/PX417"
TITLE="QT570R data reader"

# expect_version PROGRAM: the console program prints the version and exits 0.
expect_version() {
    local out status=0
    out="$(wine "$1" --version 2>&1)" || status=$?
    [ "$status" -eq 0 ] || fail "$1 --version exited with $status: $out"
    grep -qF "$VERSION" <<<"$out" || fail "$1 --version printed no $VERSION: $out"
    echo "ok: $(basename "$1") --version: $(tr -d '\r' <<<"$out" | head -n1)"
}

# main_window: the X window of the reader's main window, if shown: the largest of those with
# its title, since its message boxes carry the same title.
main_window() {
    local id best="" area=0 WIDTH HEIGHT
    for id in $(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null); do
        WIDTH=0 HEIGHT=0
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
        if ((WIDTH * HEIGHT > area)); then best=$id area=$((WIDTH * HEIGHT)); fi
    done
    echo "$best"
}

# screenshot PNG: waits for the window (up to two minutes: Wine starts slowly on a loaded
# machine), then saves it once two pictures a second apart are the same, so it is drawn.
screenshot() {
    local id="" previous="$WORK/previous.png"
    for _ in $(seq 120); do
        id="$(main_window)"
        [ -n "$id" ] && break
        sleep 1
    done
    [ -n "$id" ] || fail "no window titled '$TITLE' appeared for $1"
    import -window "$id" "$previous" 2>/dev/null
    for _ in $(seq 30); do
        sleep 1
        import -window "$id" "$1" 2>/dev/null || fail "cannot take a screenshot of the window"
        compare -metric AE "$previous" "$1" null: 2>/dev/null && break
        cp "$1" "$previous"
    done
    echo "ok: the window is up, screenshot $1"
}

# start_window PROGRAM LOG: starts a window program in the background; it ends with the
# prefix's wineserver in stop_programs, before the next step (disowned, so bash does not report
# the kill).
start_window() {
    wine "$1" >"$2" 2>&1 &
    disown
}
stop_programs() { px417_wine_stop; }

# table_changed BEFORE AFTER WHAT: the table's area (the window's left three quarters) of the
# AFTER screenshot differs from BEFORE in over 1 % of its pixels, or the test fails for WHAT.
table_changed() {
    local changed pixels
    convert "$1" -gravity west -crop 75%x100%+0+0 +repage "$WORK/before.png"
    convert "$2" -gravity west -crop 75%x100%+0+0 +repage "$WORK/after.png"
    changed="$(compare -metric AE -fuzz 20% "$WORK/before.png" "$WORK/after.png" null: 2>&1 || true)"
    pixels="$(identify -format '%[fx:w*h]' "$WORK/before.png")"
    [[ "$changed" =~ ^[0-9]+$ ]] || fail "cannot compare $1 and $2: $changed"
    ((changed * 100 > pixels)) || fail "$3: only $changed of $pixels pixels changed"
    echo "ok: $3 ($changed pixels changed)"
}
# --- 1. The zip ---
unzip -q "$ZIP" -d "$WORK/zip"
UNZIPPED="$WORK/zip/px417-$VERSION-win64"
[ -d "$UNZIPPED" ] || fail "the zip holds no folder px417-$VERSION-win64"
"$ROOT/packaging/windows/check-dlls.sh" "$UNZIPPED" || fail "the zip's DLLs are incomplete"
expect_version "$UNZIPPED/px417.com"
start_window "$UNZIPPED/px417.exe" "$WORK/zip-window.log"
screenshot "$BUILD/windows-zip-window.png"
stop_programs

# --- 2. The installer ---
status=0
wine "$SETUP" /S || status=$?
wineserver -w
[ "$status" -eq 0 ] || fail "the silent install exited with $status"
for f in px417.exe px417.com Uninstall.exe qt.conf platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
    [ -f "$PROGRAM_FILES/$f" ] || fail "the install has no $f"
done
cmp -s "$UNZIPPED/px417.exe" "$PROGRAM_FILES/px417.exe" || fail "the installed px417.exe is not the zip's"
SHORTCUT="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs/PX417.lnk"
[ -f "$SHORTCUT" ] || fail "no Start-menu entry $SHORTCUT"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PX417'
wine reg query "$UNINSTALL_KEY" /v UninstallString 2>/dev/null | grep -qF 'Uninstall.exe' ||
    fail "no Add/Remove Programs entry"
wine reg query 'HKCR\.px417' /ve 2>/dev/null | grep -qF 'PX417.KeptDownload' || fail "no .px417 type"
echo "ok: installed, with Start-menu entry, Add/Remove Programs entry and .px417 type"
expect_version "C:\\Program Files\\PX417\\px417.com"
start_window "C:\\Program Files\\PX417\\px417.exe" "$WORK/installed-window.log"
screenshot "$BUILD/windows-installed-window.png"
# The help page with its picture over the table: a click on Help, whose centre the window's
# layout puts at (864, 418) at 96 dots per inch, a fresh prefix's setting.
xdotool mousemove --window "$(main_window)" 864 418 click 1
screenshot "$BUILD/windows-help.png"
table_changed "$BUILD/windows-installed-window.png" "$BUILD/windows-help.png" \
    "Help showed the help page over the table"
stop_programs

# The kept download where the installed reader keeps its own, opened as Explorer would.
appdata="$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')"
# As drive_c names it, not through dosdevices, so the leftovers check below can leave it out.
DOWNLOADS="$(realpath -m "$(winepath -u "$appdata" 2>/dev/null | tr -d '\r')")/px417/downloads"
mkdir -p "$DOWNLOADS"
cp "$KEPT" "$DOWNLOADS/"
KEPT_IN_WINE="$DOWNLOADS/$(basename "$KEPT")"
status=0
wine start /unix "$KEPT_IN_WINE" || status=$?
[ "$status" -eq 0 ] || fail "starting $(basename "$KEPT") through its file type exited with $status"
screenshot "$BUILD/windows-kept-download.png"
stop_programs
# The window opened without a download showed an empty table.
table_changed "$BUILD/windows-installed-window.png" "$BUILD/windows-kept-download.png" \
    "the kept download opened through .px417 filled the table"

# --- 3. The uninstaller ---
status=0
wine "C:\\Program Files\\PX417\\Uninstall.exe" /S || status=$?
# It runs on from a copy in the temporary folder; the wineserver ends once it has.
wineserver -w
[ "$status" -eq 0 ] || fail "the silent uninstall exited with $status"
left="$(find "$DRIVE_C" -iname '*px417*' -not -path "$DOWNLOADS*" -not -path "${DOWNLOADS%/downloads}")"
[ -z "$left" ] || fail "the uninstaller left: $left"
for key in "$UNINSTALL_KEY" 'HKLM\Software\Classes\.px417' 'HKLM\Software\Classes\PX417.KeptDownload'; do
    if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstaller left the key $key"; fi
done
# No key or value of ours anywhere in the registry files (written out as the wineserver ended).
registry="$(grep -il 'px417' "$WINEPREFIX"/*.reg || true)"
[ -z "$registry" ] || fail "the registry still names PX417: $(grep -i 'px417' "$WINEPREFIX"/*.reg)"
cmp -s "$KEPT" "$KEPT_IN_WINE" || fail "the uninstaller removed or changed the kept download"
echo "ok: uninstalled; nothing of PX417 is left, the kept download in %APPDATA% is"
echo "PASS: the zip and the installer work under Wine"
