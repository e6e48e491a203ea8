# Sourced (bash): a private Wine prefix for one run of the Windows tests, and the environment
# every Windows test shares, so that the CTest run, the whole-download test and the installer
# test see the same Wine.
#
#   source scripts/wine-env.sh FOLDER [BUILD]
#
# FOLDER: where the prefix lives (WINEPREFIX=FOLDER/prefix); a fresh FOLDER gives a fresh
# prefix. BUILD: a Windows build folder (scripts/build-windows.sh); when given, WINEPATH,
# QT_PLUGIN_PATH and QT_QPA_FONTDIR are set so that its programs find the Qt DLLs, the mingw
# runtime, the plugins and the fonts without copying anything.
#
# Exported: WINEPREFIX; WINEDLLOVERRIDES=mscoree,mshtml= (a new prefix then downloads nothing);
# WINEDEBUG=-all; WINEARCH=win64; with BUILD also WINEPATH, QT_PLUGIN_PATH, QT_QPA_FONTDIR.
# Nothing here sets QT_QPA_PLATFORM: the tests choose offscreen, the installer test the
# windows platform on a display of its own.
#
# Functions:
#   px417_wine_init               makes the prefix once (wineboot -i) and names Carlito as
#                                 Calibri and Liberation Sans as Arial under
#                                 HKCU\Software\Wine\Fonts\Replacements, the faces the window
#                                 names. Parallel callers wait for one another (flock).
#   px417_wine_map_port PTY N     names the pseudo-terminal PTY as COMN under
#                                 HKLM\Software\Wine\Ports and restarts the wineserver, which
#                                 reads the ports only when it starts: every Wine process of
#                                 this prefix ends. Open it as \\.\COMN.
#   px417_wine_unmap_port N       removes COMN again, likewise.
#   px417_wine_path PATH          prints the Windows name (Z:\...) of a Unix path.
#   px417_wine_stop               ends the prefix's wineserver and waits for it.
# Call px417_wine_init before the others; wine itself is run as "wine program.exe ...".

if [ -z "${1:-}" ]; then
    echo "usage: source scripts/wine-env.sh FOLDER [BUILD]" >&2
    return 2
fi
mkdir -p "$1"
PX417_WINE_FOLDER="$(cd "$1" && pwd)"
export WINEPREFIX="$PX417_WINE_FOLDER/prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win64

px417_wine_path() {
    local path
    path="$(realpath -m "$1")"
    printf 'Z:%s\n' "${path//\//\\}"
}

px417_wine_init() {
    (
        flock 9
        [ -f "$WINEPREFIX/.px417-ready" ] && exit 0
        wineboot -i >/dev/null 2>&1 || { echo "wineboot failed in $WINEPREFIX" >&2; exit 1; }
        local reg="$PX417_WINE_FOLDER/fonts.reg"
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"Calibri"="Carlito"' '"Arial"="Liberation Sans"' >"$reg"
        wine reg import "$(px417_wine_path "$reg")" >/dev/null 2>&1 ||
            { echo "cannot set the font replacements in $WINEPREFIX" >&2; exit 1; }
        # Written to disk before anyone relies on it.
        wineserver -w
        touch "$WINEPREFIX/.px417-ready"
    ) 9>"$PX417_WINE_FOLDER/.lock"
}

px417_wine_map_port() {
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$2" /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
        { echo "cannot name $1 COM$2 in $WINEPREFIX" >&2; return 1; }
    px417_wine_stop
}

px417_wine_unmap_port() {
    wine reg delete 'HKLM\Software\Wine\Ports' /v "COM$1" /f >/dev/null 2>&1
    px417_wine_stop
}

px417_wine_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

if [ -n "${2:-}" ]; then
    # Written by the Windows build's configuration: where its Qt and mingw runtime are.
    if [ ! -f "$2/px417-windows-paths.sh" ]; then
        echo "$2 is no configured Windows build folder (scripts/build-windows.sh)" >&2
        return 1
    fi
    # shellcheck source=/dev/null
    source "$2/px417-windows-paths.sh"
    WINEPATH=""
    for dir in "${PX417_WINDOWS_DLL_DIRS[@]}"; do
        WINEPATH+="${WINEPATH:+;}$(px417_wine_path "$dir")"
    done
    export WINEPATH
    QT_PLUGIN_PATH="$(px417_wine_path "$PX417_WINDOWS_QT_PLUGINS")"
    QT_QPA_FONTDIR="$(px417_wine_path "$PX417_WINDOWS_FONTS")"
    export QT_PLUGIN_PATH QT_QPA_FONTDIR
fi
