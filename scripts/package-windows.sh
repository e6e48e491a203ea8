#!/usr/bin/env bash
# Makes PX417's Windows artifacts from a Windows build (scripts/build-windows.sh):
#   BUILD/px417-<version>-win64.zip   a folder px417-<version>-win64 holding px417.exe (the
#                                     window), px417.com (the command line), every DLL they
#                                     load (Qt, the MinGW-w64 runtime), the windows platform
#                                     and Vista style plugins, qt.conf and README.txt
#   BUILD/px417-<version>-setup.exe   the same files as an NSIS installer (packaging/windows)
# The DLLs are found by following the import tables from the programs and plugins, and the
# result is checked by packaging/windows/check-dlls.sh before anything is packed.
#
#   scripts/package-windows.sh [BUILD]   (default: $PX417_WINDOWS_BUILD_DIR, else build-windows/)
# Prints the two artifacts' paths last.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-${PX417_WINDOWS_BUILD_DIR:-$ROOT/build-windows}}"
[ -d "$BUILD" ] || { echo "package-windows: no build folder $BUILD" >&2; exit 1; }
BUILD="$(cd "$BUILD" && pwd)"
HERE="$ROOT/packaging/windows"
HOST=x86_64-w64-mingw32
OBJDUMP=$HOST-objdump
for tool in "$OBJDUMP" $HOST-strip $HOST-g++-posix makensis zip rsvg-convert convert; do
    command -v "$tool" >/dev/null || {
        echo "package-windows: $tool is missing (apt install binutils-mingw-w64-x86-64" \
            "g++-mingw-w64-x86-64-posix nsis zip librsvg2-bin imagemagick)" >&2
        exit 1
    }
done
VERSION="$(sed -n 's/^project(PX417 VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
[ -n "$VERSION" ] || { echo "package-windows: no version in CMakeLists.txt" >&2; exit 1; }

# The programs, from the build's source tree only: the build folder also holds Wine prefixes
# with installed copies.
program() {
    local found
    found="$(find "$BUILD/src" -type f -name "$1")"
    if [ -z "$found" ] || [ "$(wc -l <<<"$found")" -ne 1 ]; then
        echo "package-windows: expected one $1 under $BUILD/src, found: ${found:-none}" >&2
        exit 1
    fi
    echo "$found"
}
WINDOW="$(program px417.exe)"
CONSOLE="$(program px417.com)"

# Where the DLLs come from: Qt's bin folder and plugins as the build's configuration wrote them
# down, else as CMake found Qt; the MinGW-w64 runtime beside the compiler.
DLL_DIRS=()
PLUGINS=""
if [ -f "$BUILD/px417-windows-paths.sh" ]; then
    # shellcheck source=/dev/null
    source "$BUILD/px417-windows-paths.sh"
    DLL_DIRS+=("${PX417_WINDOWS_DLL_DIRS[@]}")
    PLUGINS="$PX417_WINDOWS_QT_PLUGINS"
else
    qt_dir="$(sed -n 's/^Qt6_DIR:[A-Z]*=//p' "$BUILD/CMakeCache.txt")"
    [ -n "$qt_dir" ] || { echo "package-windows: $BUILD names no Qt (CMakeCache.txt)" >&2; exit 1; }
    qt="$(cd "$qt_dir/../../.." && pwd)"
    DLL_DIRS+=("$qt/bin")
    PLUGINS="$qt/plugins"
fi
for runtime in libstdc++-6.dll libwinpthread-1.dll; do
    path="$($HOST-g++-posix -print-file-name=$runtime)"
    [ -f "$path" ] && DLL_DIRS+=("$(dirname "$path")")
done
DLL_DIRS+=("/usr/$HOST/lib" "/usr/$HOST/bin")

NAME="px417-$VERSION-win64"
OUT="$BUILD/package"
STAGE="$OUT/$NAME"
rm -rf "$OUT"
mkdir -p "$STAGE/platforms" "$STAGE/styles"

# The programs without their debugging sections; the plugins Qt loads at run time.
$HOST-strip -o "$STAGE/px417.exe" "$WINDOW"
$HOST-strip -o "$STAGE/px417.com" "$CONSOLE"
# Every DLL is copied without its debugging sections too: Debian's MinGW-w64 runtime has them
# (libstdc++-6.dll is 24 MB with them, 2 without); the export tables stay.
ship_dll() { $HOST-strip --strip-unneeded -o "$2/$(basename "$1")" "$1"; }
ship_dll "$PLUGINS/platforms/qwindows.dll" "$STAGE/platforms"
ship_dll "$PLUGINS/styles/qwindowsvistastyle.dll" "$STAGE/styles"
# Plugins and qt.conf only from this folder, never from another Qt on the same computer.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\n' >"$STAGE/qt.conf"
sed "s/@VERSION@/$VERSION/; s/\$/\r/" "$HERE/README.txt" >"$STAGE/README.txt"

# Every DLL imported by what is staged, followed through the DLLs it brings, unless Windows has
# it. A DLL that is found nowhere stops the packaging.
is_system() {
    case "${1,,}" in api-ms-win-* | ext-ms-*) return 0 ;; esac
    grep -v '^#' "$HERE/system-dlls.txt" | grep -qixF "$1"
}
declare -A seen=()
queue=("$STAGE/px417.exe" "$STAGE/px417.com" "$STAGE/platforms/qwindows.dll"
       "$STAGE/styles/qwindowsvistastyle.dll")
while ((${#queue[@]})); do
    file="${queue[0]}"
    queue=("${queue[@]:1}")
    while IFS= read -r dll; do
        key="${dll,,}"
        [ -z "$dll" ] || [ -n "${seen[$key]:-}" ] || is_system "$dll" && continue
        seen[$key]=1
        source_dll=""
        for dir in "${DLL_DIRS[@]}"; do
            source_dll="$(find "$dir" -maxdepth 1 -type f -iname "$dll" 2>/dev/null | head -n1)"
            [ -n "$source_dll" ] && break
        done
        [ -n "$source_dll" ] || {
            echo "package-windows: ${file#"$STAGE"/} needs $dll, found in none of: ${DLL_DIRS[*]}" >&2
            exit 1
        }
        ship_dll "$source_dll" "$STAGE"
        queue+=("$STAGE/$(basename "$source_dll")")
    done < <("$OBJDUMP" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: *//p')
done
"$HERE/check-dlls.sh" "$STAGE" >&2

ZIP="$BUILD/$NAME.zip"
rm -f "$ZIP"
(cd "$OUT" && zip -q -r -9 -X "$ZIP.part" "$NAME")
mv "$ZIP.part" "$ZIP"

# The installer installs exactly the staged files, and its uninstaller deletes exactly those:
# two lists written from the same walk.
NSIS="$OUT/nsis"
mkdir -p "$NSIS"
"$HERE/make-icon.sh" "$ROOT/packaging/px417.svg" "$NSIS/px417.ico"
: >"$NSIS/files.nsh"
: >"$NSIS/unfiles.nsh"
while IFS= read -r dir; do
    rel="${dir#"$STAGE"}"
    win="${rel//\//\\}"
    echo "SetOutPath \"\$INSTDIR$win\"" >>"$NSIS/files.nsh"
    find "$dir" -maxdepth 1 -type f | sort | while IFS= read -r f; do
        echo "File \"$f\"" >>"$NSIS/files.nsh"
        echo "Delete \"\$INSTDIR$win\\$(basename "$f")\"" >>"$NSIS/unfiles.nsh"
    done
    [ -z "$rel" ] || echo "RMDir \"\$INSTDIR$win\"" >>"$NSIS/unfiles.nsh"
done < <(find "$STAGE" -type d | sort -r)
SETUP="$BUILD/px417-$VERSION-setup.exe"
rm -f "$SETUP"
makensis -V2 -NOCD "-DPX417_VERSION=$VERSION" "-DPX417_OUTFILE=$SETUP.part" \
    "-DPX417_FILES=$NSIS/files.nsh" "-DPX417_UNFILES=$NSIS/unfiles.nsh" \
    "-DPX417_ICON=$NSIS/px417.ico" "$HERE/px417.nsi" >&2
mv "$SETUP.part" "$SETUP"
ls -l "$ZIP" "$SETUP" >&2
echo "$ZIP"
echo "$SETUP"
